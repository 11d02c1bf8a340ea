// GIF files: the writer's exact layout, round trips through our LZW, and the reader on
// GIF87a and GIF89a files the tests put together.
#include <random>

#include "imagefile/formats.h"
#include "imagefile/lzw.h"
#include "imagefile_support.h"

namespace imagefile_test {
namespace {

// A GIF file built piece by piece: screen, tables, extensions and images.
struct GifBuilder {
    Bytes file;

    GifBuilder(const std::string& signature, int width, int height, int global_colours) {
        text(file, signature);
        u16le(file, uint32_t(width));
        u16le(file, uint32_t(height));
        file.push_back(global_colours ? uint8_t(0x80 | table_size_field(global_colours)) : 0);
        file.insert(file.end(), {0, 0});
        colour_table(global_colours, 0);
    }
    static int table_size_field(int colours) {
        int n = 0;
        while ((2 << n) < colours) ++n;
        return n;
    }
    // Entry i is (i, 100 + shift, 200).
    void colour_table(int colours, int shift) {
        for (int i = 0; i < colours; ++i) file.insert(file.end(), {uint8_t(i), uint8_t(100 + shift), 200});
    }
    void graphic_control() { file.insert(file.end(), {0x21, 0xF9, 4, 1, 0, 0, 3, 0}); }
    void image(int left, int top, int width, int height, const std::vector<uint8_t>& pixels, bool interlaced = false,
               int local_colours = 0) {
        file.push_back(',');
        u16le(file, uint32_t(left));
        u16le(file, uint32_t(top));
        u16le(file, uint32_t(width));
        u16le(file, uint32_t(height));
        file.push_back(uint8_t((interlaced ? 0x40 : 0) | (local_colours ? 0x80 | table_size_field(local_colours) : 0)));
        colour_table(local_colours, 50);
        file.push_back(8);
        imagefile::LzwEncoder encoder(file);
        for (uint8_t p : pixels) encoder.put(p);
        encoder.finish();
    }
    Bytes done() {
        file.push_back(';');
        return file;
    }
};

zov::Surface read(const Bytes& file, int index = 0) { return surface_of(imagefile::read_gif(file, index)); }

TEST_F(ImageFiles, GifOfOnePixelIsWrittenByteForByte) {
    zov::Surface picture(1, 1);
    picture.set_pixel(0, 0, zov::rgb(10, 20, 30));
    ASSERT_EQ(imagefile::save(picture, path("a.gif"), imagefile::kGif), 0);
    const Bytes file = contents("a.gif");
    Bytes expected;
    text(expected, "GIF87a");
    expected.insert(expected.end(), {1, 0, 1, 0, 0xF7, 0, 0, 10, 20, 30});
    expected.resize(13 + 768, 0);
    expected.insert(expected.end(), {',', 0, 0, 0, 0, 1, 0, 1, 0, 0, 8});
    // Clear 256, pixel 0 and end 257 in 9 bits each, least significant bit first.
    expected.insert(expected.end(), {4, 0x00, 0x01, 0x04, 0x04, 0, ';'});
    EXPECT_EQ(file, expected);
}

TEST_F(ImageFiles, GifRoundTripsPastAFullCodeTable) {
    // 300 x 300 random pixels of 256 colours: the table fills and is cleared many times.
    zov::Surface picture(300, 300);
    std::mt19937 random(7);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 300; ++x) {
            const int k = int(random() % 256);
            picture.set_pixel(x, y, zov::rgb(k, 255 - k, k / 2));
        }
    ASSERT_EQ(imagefile::save(picture, path("a.gif"), imagefile::kGif), 0);
    zov::Surface loaded;
    ASSERT_EQ(imagefile::load(loaded, path("a.gif")), 0);
    EXPECT_TRUE(same_pixels(picture, loaded));
    // Sub-blocks of the data carry 254 bytes, the last one fewer.
    const Bytes file = contents("a.gif");
    EXPECT_EQ(file[13 + 768 + 11], 254);
}

TEST_F(ImageFiles, GifWithMoreThan256ColoursUsesTheColourCubeAndAColourTableMapsToItsNearestEntry) {
    const zov::Surface picture = gradient(40, 40);
    ASSERT_EQ(imagefile::save(picture, path("a.gif"), imagefile::kGif), 0);
    zov::Surface loaded;
    ASSERT_EQ(imagefile::load(loaded, path("a.gif")), 0);
    // (7, 3, 5) is nearest to cube levels (0, 0, 0); (255, 255, 255) is in the cube.
    EXPECT_EQ(loaded.get_pixel(1, 0), 0u);
    zov::Surface table(2, 1);
    table.set_pixel(0, 0, zov::rgb(250, 10, 10));
    table.set_pixel(1, 0, zov::rgb(12, 12, 200));
    table.colour_table = {zov::rgb(0, 0, 0), zov::rgb(255, 0, 0), zov::rgb(0, 0, 255), zov::rgb(255, 0, 0)};
    ASSERT_EQ(imagefile::save(table, path("b.gif"), imagefile::kGif), 0);
    ASSERT_EQ(imagefile::load(loaded, path("b.gif")), 0);
    EXPECT_EQ(loaded.get_pixel(0, 0), zov::rgb(255, 0, 0));
    EXPECT_EQ(loaded.get_pixel(1, 0), zov::rgb(0, 0, 255));
}

TEST(Gif, Reads89aAfterOtherDataWithExtensionsInterlaceAndLocalTables) {
    // Rows in the file: 0, 4, 2, 1, 3 for an interlaced image of five rows.
    GifBuilder gif("GIF89a", 2, 5, 4);
    gif.graphic_control();
    gif.file.insert(gif.file.end(), {0x21, 0xFE, 3, 'a', 'b', 'c', 0});
    gif.image(0, 0, 2, 5, {0, 0, 3, 3, 2, 2, 1, 1, 1, 3}, true);
    Bytes file(32, 'x');
    const Bytes tail = gif.done();
    file.insert(file.end(), tail.begin(), tail.end());
    const zov::Surface s = read(file);
    ASSERT_EQ(s.height(), 5);
    EXPECT_EQ(s.get_pixel(0, 0), zov::rgb(0, 100, 200));
    EXPECT_EQ(s.get_pixel(0, 1), zov::rgb(1, 100, 200));
    EXPECT_EQ(s.get_pixel(0, 2), zov::rgb(2, 100, 200));
    EXPECT_EQ(s.get_pixel(1, 3), zov::rgb(3, 100, 200));
    EXPECT_EQ(s.get_pixel(0, 4), zov::rgb(3, 100, 200));

    GifBuilder several("GIF87a", 4, 4, 2);
    several.image(0, 0, 4, 4, std::vector<uint8_t>(16, 1));
    several.image(1, 2, 3, 2, {0, 1, 3, 3, 1, 0}, false, 4);
    const Bytes two = several.done();
    const zov::Surface second = read(two, 1);
    ASSERT_EQ(second.width(), 3);
    EXPECT_EQ(second.get_pixel(0, 0), zov::rgb(0, 150, 200));
    EXPECT_EQ(second.get_pixel(2, 0), zov::rgb(3, 150, 200));
    EXPECT_EQ(read(two, 0).get_pixel(3, 3), zov::rgb(1, 100, 200));
    EXPECT_FALSE(imagefile::read_gif(two, 2));
}

TEST(Gif, WithoutColourTablesPixelsAreGrayLevels) {
    GifBuilder gif("GIF87a", 2, 1, 0);
    gif.image(0, 0, 2, 1, {0, 255});
    const zov::Surface s = read(gif.done());
    EXPECT_EQ(s.get_pixel(0, 0), 0u);
    EXPECT_EQ(s.get_pixel(1, 0), 0xFFFFFFu);
}

TEST(Gif, RefusesMissingImagesImagesOffScreenShortDataAndCorruptCodes) {
    GifBuilder one("GIF89a", 2, 2, 2);
    one.image(0, 0, 2, 2, {0, 1, 1, 0});
    const Bytes file = one.done();
    EXPECT_TRUE(imagefile::read_gif(file, 0));
    EXPECT_FALSE(imagefile::read_gif(file, 1));
    Bytes wrong = file;
    wrong[3] = '9';
    EXPECT_FALSE(imagefile::read_gif(wrong));
    Bytes late(254, 'x');
    late.insert(late.end(), file.begin(), file.end());
    EXPECT_FALSE(imagefile::read_gif(late));

    GifBuilder outside("GIF89a", 2, 2, 2);
    outside.image(1, 0, 2, 2, {0, 1, 1, 0});
    EXPECT_FALSE(imagefile::read_gif(outside.done()));
    GifBuilder huge("GIF89a", 65535, 65535, 2);
    huge.image(0, 0, 65535, 65535, {0});
    EXPECT_FALSE(imagefile::read_gif(huge.done()));

    // Image data that ends before the last pixel: three pixels of four, or none at all
    // (an end code alone, or no data sub-block).
    GifBuilder short_data("GIF89a", 2, 2, 2);
    short_data.image(0, 0, 2, 2, {0, 1, 1});
    EXPECT_FALSE(imagefile::read_gif(short_data.done()));
    GifBuilder empty("GIF89a", 2, 2, 2);
    empty.image(0, 0, 2, 2, {});
    EXPECT_FALSE(imagefile::read_gif(empty.done()));
    GifBuilder no_data("GIF89a", 1, 1, 2);
    for (uint8_t b : {',', '\0', '\0', '\0', '\0', '\1', '\0', '\1', '\0', '\0', '\2', '\0', ';'}) no_data.file.push_back(b);
    EXPECT_FALSE(imagefile::read_gif(no_data.file));

    // Minimum code size 2: a clear code (4), then code 6, which is not in the table yet.
    GifBuilder corrupt("GIF89a", 1, 1, 4);
    for (uint8_t b : {',', '\0', '\0', '\0', '\0', '\1', '\0', '\1', '\0', '\0', '\2', '\1', '\x34', '\0', ';'}) corrupt.file.push_back(b);
    EXPECT_FALSE(imagefile::read_gif(corrupt.file));
    std::vector<uint8_t> out(4);
    EXPECT_FALSE(imagefile::lzw_decode(Bytes{0}, 9, out));
    // Codes 4 (clear), 1, 6 (the string not yet in the table: 1 1), 5 (end).
    const Bytes kwkwk = {0x8C, 0x0B};
    ASSERT_EQ(imagefile::lzw_decode(kwkwk, 2, out), 3u);
    EXPECT_EQ(out, (std::vector<uint8_t>{1, 1, 1, 0}));
}

}  // namespace
}  // namespace imagefile_test
