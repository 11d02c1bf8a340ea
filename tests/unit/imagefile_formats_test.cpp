// PNM, ICO and TIFF files: the readers on files the tests make, and the writers' bytes.
#include <tuple>

#include "imagefile/formats.h"
#include "imagefile_support.h"

namespace imagefile_test {
namespace {

Bytes bytes_of(const std::string& s, const Bytes& tail = {}) {
    Bytes b(s.begin(), s.end());
    b.insert(b.end(), tail.begin(), tail.end());
    return b;
}

zov::Surface pnm(const std::string& header, const Bytes& raw = {}) { return surface_of(imagefile::read_pnm(bytes_of(header, raw))); }

uint32_t gray(int level) { return zov::rgb(level, level, level); }

TEST(Pnm, PlainKindsWithComments) {
    auto s = pnm("P1 2 1 1 0");
    EXPECT_EQ(s.get_pixel(0, 0), 0u);
    EXPECT_EQ(s.get_pixel(1, 0), 0xFFFFFFu);
    s = pnm("p1\n# a comment\n3 2 # another\n1 0 1\n010");
    EXPECT_EQ(s.get_pixel(2, 0), 0u);
    EXPECT_EQ(s.get_pixel(1, 1), 0u);
    EXPECT_EQ(s.get_pixel(2, 1), 0xFFFFFFu);
    // Gray values scale by 255 / maximum; one above the maximum is taken as white.
    s = pnm("P2\n#c\n3 1\n100\n0 50 101\n");
    EXPECT_EQ(s.get_pixel(1, 0), gray(127));
    EXPECT_EQ(s.get_pixel(2, 0), gray(255));
    s = pnm("P3\r\n1 1\t# tab\n10\n10 5 0");
    EXPECT_EQ(s.get_pixel(0, 0), zov::rgb(255, 127, 0));
}

TEST(Pnm, RawKindsAndNibblePixels) {
    // A P4 row of 10 pixels takes two bytes.
    auto s = pnm("P4\n10 2\n", {0x80, 0x40, 0x00, 0x00});
    EXPECT_EQ(s.get_pixel(0, 0), 0u);
    EXPECT_EQ(s.get_pixel(1, 0), 0xFFFFFFu);
    EXPECT_EQ(s.get_pixel(9, 0), 0u);
    EXPECT_EQ(s.get_pixel(0, 1), 0xFFFFFFu);
    s = pnm("P5 2 1 255\n", {7, 200});
    EXPECT_EQ(s.get_pixel(1, 0), gray(200));
    // Maximum 15: two pixels a byte, low nibble first; the third starts a new byte.
    s = pnm("P5 3 1 15\n", {0x1F, 0x02});
    EXPECT_EQ(s.get_pixel(0, 0), gray(255));
    EXPECT_EQ(s.get_pixel(1, 0), gray(17));
    EXPECT_EQ(s.get_pixel(2, 0), gray(34));
    s = pnm("P6 3 1 15\n", {0x21, 0x43, 0x65, 0x07, 0x08, 0x09});
    EXPECT_EQ(s.get_pixel(0, 0), zov::rgb(17, 51, 85));
    EXPECT_EQ(s.get_pixel(1, 0), zov::rgb(34, 68, 102));
    EXPECT_EQ(s.get_pixel(2, 0), zov::rgb(119, 136, 153));
    // A short raw file loads with the missing pixels black, in PBM too, where a 0 bit is white.
    s = pnm("P6 2 1 255\n", {1, 2, 3});
    EXPECT_EQ(s.get_pixel(0, 0), zov::rgb(1, 2, 3));
    EXPECT_EQ(s.get_pixel(1, 0), 0u);
    s = pnm("P4\n8 2\n", {0x7F});
    EXPECT_EQ(s.get_pixel(0, 0), 0xFFFFFFu);
    EXPECT_EQ(s.get_pixel(1, 0), 0u);
    EXPECT_EQ(s.get_pixel(0, 1), 0u);
    EXPECT_EQ(s.get_pixel(7, 1), 0u);
}

TEST(Pnm, RefusesWhatTheLimitsExclude) {
    EXPECT_TRUE(pnm("P5 1 1 65535\n", {0, 0}).empty());
    EXPECT_TRUE(pnm("P5 1 1 100\n", {0}).empty());
    EXPECT_TRUE(pnm("P2 1 1 0\n0").empty());
    EXPECT_TRUE(pnm("P2 1 1 10000\n0").empty());
    EXPECT_TRUE(pnm("P1 0 1").empty());
    EXPECT_TRUE(pnm("P1 10000 1").empty());
    EXPECT_TRUE(pnm("P7 1 1 255\n").empty());
    EXPECT_TRUE(pnm("Q1 1 1 1").empty());
    // A plain file that ends early, or holds something else than digits, fails whole.
    EXPECT_TRUE(pnm("P1 2 1 1").empty());
    EXPECT_TRUE(pnm("P3 1 1 255 1 2").empty());
    EXPECT_TRUE(pnm("P1 2 1 1 x").empty());
}

TEST_F(ImageFiles, PnmWritersHeadersGrayAndBits) {
    zov::Surface picture(10, 2, 0xFFFFFF);
    picture.set_pixel(0, 0, 0);
    picture.set_pixel(9, 0, zov::rgb(100, 100, 100));
    picture.set_pixel(8, 1, zov::rgb(30, 200, 40));
    ASSERT_EQ(imagefile::save(picture, path("a.pbm"), imagefile::kPbm), 0);
    EXPECT_EQ(contents("a.pbm"), bytes_of("P4\n10 2\n", {0x80, 0x40, 0x00, 0x00}));
    ASSERT_EQ(imagefile::save(picture, path("a.pgm"), imagefile::kPgm), 0);
    const Bytes pgm = contents("a.pgm");
    ASSERT_EQ(pgm.size(), 12u + 20);
    EXPECT_EQ(Bytes(pgm.begin(), pgm.begin() + 12), bytes_of("P5\n10 2\n255\n"));
    // (58 * 40 + 300 * 200 + 153 * 30 + 256) / 512 = 131
    EXPECT_EQ(pgm[12 + 18], 131);
    ASSERT_EQ(imagefile::save(picture, path("a.ppm"), imagefile::kPpm), 0);
    zov::Surface loaded;
    ASSERT_EQ(imagefile::load(loaded, path("a.ppm")), 0);
    EXPECT_TRUE(same_pixels(picture, loaded));
    ASSERT_EQ(imagefile::load(loaded, path("a.pbm")), 0);
    EXPECT_EQ(loaded.get_pixel(9, 0), 0u);
}

// A 32 x 32 icon in 16 colours: colour i is (i * 16, 255 - i * 16, i); the top-left
// pixel has colour 5, the bottom-right one colour 9, and the top-right one is transparent.
Bytes icon(int side = 32) {
    Bytes file;
    for (uint32_t v : {0, 1, 1, side | side << 8, 16, 1, 4}) u16le(file, v);
    for (uint32_t v : {744, 22, 40, 32, 64}) u32le(file, v);
    u16le(file, 1);
    u16le(file, 4);
    file.resize(file.size() + 24, 0);
    for (int i = 0; i < 16; ++i) file.insert(file.end(), {uint8_t(i), uint8_t(255 - i * 16), uint8_t(i * 16), 0});
    const std::size_t pixels = file.size(), mask = pixels + 512;
    file.resize(mask + 128, 0);
    file[pixels + 31 * 16] = 0x50;  // the top row is stored last
    file[pixels + 15] = 0x09;
    file[mask + 31 * 4 + 3] = 0x01;
    return file;
}

TEST_F(ImageFiles, IcoReadsTheClassicIconAndFallsBackToBmp) {
    ASSERT_EQ(icon().size(), 766u);
    zov::Surface loaded;
    ASSERT_EQ(imagefile::load(loaded, put("a.ico", icon())), 0);
    EXPECT_EQ(loaded.width(), 32);
    EXPECT_EQ(loaded.get_pixel(0, 0), zov::rgb(80, 175, 5));
    EXPECT_EQ(loaded.get_pixel(31, 31), zov::rgb(144, 111, 9));
    EXPECT_EQ(loaded.get_pixel(31, 0), zov::rgb(160, 160, 160));
    EXPECT_EQ(loaded.get_pixel(1, 0), zov::rgb(0, 255, 0));
    // A 48 x 48 icon is refused, and so is it by the BMP reader tried next.
    EXPECT_EQ(imagefile::load(loaded, put("b.ico", icon(48))), -1);
    Bytes short_icon = icon();
    short_icon.pop_back();
    EXPECT_FALSE(imagefile::read_ico(short_icon));
    // A BMP named .ico loads through the fallback.
    ASSERT_EQ(imagefile::save(gradient(3, 3), path("c.bmp"), imagefile::kBmp24), 0);
    fs::rename(path("c.bmp"), path("c.ico"));
    EXPECT_EQ(imagefile::load(loaded, path("c.ico")), 0);
    EXPECT_EQ(loaded.width(), 3);
}

TEST_F(ImageFiles, TiffWritersRoundTripWithTheirFixedLayout) {
    const zov::Surface picture = gradient(11, 5);
    zov::Surface loaded;
    ASSERT_EQ(imagefile::save(picture, path("a.tif"), imagefile::kTiff24), 0);
    const Bytes file = contents("a.tif");
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 8), (Bytes{'I', 'I', 42, 0, 8, 0, 0, 0}));
    EXPECT_EQ(file.size(), 1812u + 11 * 3 * 5);
    // The top-left pixel comes first, as red, green, blue.
    EXPECT_EQ(file[1812], 0);
    EXPECT_EQ(file[1812 + 3], 7);
    ASSERT_EQ(imagefile::load(loaded, path("a.tif")), 0);
    EXPECT_TRUE(same_pixels(picture, loaded));

    // 8 bits with the palette as colour map, 1 bit black and white; rows start on a byte.
    const zov::Surface few = few_colours(11, 5, 100);
    zov::Surface drawn(9, 2, 0xFFFFFF);
    drawn.set_pixel(8, 1, 0);
    const zov::Surface& black_and_white = drawn;
    for (const auto& [mode, expected, size] : {std::tuple{imagefile::kTiff8, &few, 1812u + 11 * 5},
                                               std::tuple{imagefile::kTiff1, &black_and_white, 1812u + 2 * 2}}) {
        ASSERT_EQ(imagefile::save(*expected, path("b.TIFF"), mode), 0);
        EXPECT_EQ(contents("b.TIFF").size(), size);
        ASSERT_EQ(imagefile::load(loaded, path("b.TIFF")), 0);
        EXPECT_TRUE(same_pixels(*expected, loaded)) << mode;
    }
}

// A big-endian TIFF with the given tags (SHORT values) and pixel bytes after them.
Bytes big_endian_tiff(const std::vector<std::pair<uint16_t, std::vector<uint16_t>>>& tags, const Bytes& pixels) {
    Bytes file = {'M', 'M', 0, 42, 0, 0, 0, 8};
    const auto be16 = [&](uint32_t v) { file.insert(file.end(), {uint8_t(v >> 8), uint8_t(v)}); };
    const auto be32 = [&](uint32_t v) { be16(v >> 16); be16(v & 0xFFFF); };
    const std::size_t values_at = 8 + 2 + tags.size() * 12 + 4;
    std::size_t extra = 0;
    be16(uint32_t(tags.size()));
    for (const auto& [tag, values] : tags) {
        be16(tag);
        be16(3);
        be32(uint32_t(values.size()));
        if (values.size() <= 2) {
            be16(values[0]);
            be16(values.size() > 1 ? values[1] : 0);
        } else {
            be32(uint32_t(values_at + extra));
            extra += values.size() * 2;
        }
    }
    be32(0);
    for (const auto& [tag, values] : tags)
        if (values.size() > 2)
            for (uint16_t v : values) be16(v);
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

TEST(Tiff, ReadsBigEndianGrayMappedAndFourChannelPixels) {
    // 8-bit gray without a colour map; the strip offset points past the directory.
    const std::size_t gray_pixels_at = 8 + 2 + 4 * 12 + 4;
    zov::Surface s = surface_of(imagefile::read_tiff(big_endian_tiff({{256, {2}}, {257, {1}}, {258, {8}}, {273, {uint16_t(gray_pixels_at)}}}, {0, 200})));
    EXPECT_EQ(s.get_pixel(1, 0), gray(200));

    // 2 bits through a colour map of 4 entries (16-bit values divided by 256).
    std::vector<uint16_t> map(12, 0);
    map[3] = 0xFF00;      // red of entry 3
    map[4 + 1] = 0x8000;  // green of entry 1
    const std::size_t mapped_at = 8 + 2 + 5 * 12 + 4 + 24;
    s = surface_of(imagefile::read_tiff(big_endian_tiff({{256, {3}}, {257, {1}}, {258, {2}}, {273, {uint16_t(mapped_at)}}, {320, map}}, {0x1C})));
    EXPECT_EQ(s.get_pixel(0, 0), 0u);
    EXPECT_EQ(s.get_pixel(1, 0), zov::rgb(0, 128, 0));
    EXPECT_EQ(s.get_pixel(2, 0), zov::rgb(255, 0, 0));

    // 8,8,8,8 bits: red, green, blue and a skipped fourth byte; missing bytes are 0.
    const std::size_t rgba_at = 8 + 2 + 4 * 12 + 4 + 8;
    s = surface_of(imagefile::read_tiff(big_endian_tiff({{256, {2}}, {257, {1}}, {258, {8, 8, 8, 8}}, {273, {uint16_t(rgba_at)}}}, {1, 2, 3, 4, 5})));
    EXPECT_EQ(s.get_pixel(0, 0), zov::rgb(1, 2, 3));
    EXPECT_EQ(s.get_pixel(1, 0), zov::rgb(5, 0, 0));
}

TEST(Tiff, RefusesCompressionDamageAndEmptyImages) {
    const Bytes pixel = {9};
    const std::size_t at = 8 + 2 + 5 * 12 + 4;
    EXPECT_TRUE(imagefile::read_tiff(big_endian_tiff({{256, {1}}, {257, {1}}, {258, {8}}, {259, {32771}}, {273, {uint16_t(at)}}}, pixel)));
    EXPECT_FALSE(imagefile::read_tiff(big_endian_tiff({{256, {1}}, {257, {1}}, {258, {8}}, {259, {5}}, {273, {uint16_t(at)}}}, pixel)));
    EXPECT_FALSE(imagefile::read_tiff(big_endian_tiff({{256, {0}}, {257, {1}}, {258, {8}}, {259, {1}}, {273, {uint16_t(at)}}}, pixel)));
    EXPECT_FALSE(imagefile::read_tiff(big_endian_tiff({{256, {1}}, {257, {1}}, {258, {8}}, {259, {1}}, {262, {1}}}, pixel)));
    // A colour map said to lie past the end of the file.
    Bytes mapped = big_endian_tiff({{256, {1}}, {257, {1}}, {258, {8}}, {273, {uint16_t(at)}}, {320, std::vector<uint16_t>(768, 1)}}, pixel);
    mapped.resize(mapped.size() - 100);
    EXPECT_FALSE(imagefile::read_tiff(mapped));
    Bytes no_directory = {'I', 'I', 42, 0, 0, 0, 0, 0};
    EXPECT_FALSE(imagefile::read_tiff(no_directory));
    no_directory[2] = 43;
    EXPECT_FALSE(imagefile::read_tiff(no_directory));
}

}  // namespace
}  // namespace imagefile_test
