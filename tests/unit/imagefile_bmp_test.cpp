// BMP files and the load/save dispatch.
#include <cstdlib>
#include <tuple>

#include "imagefile/formats.h"
#include "imagefile/limits.h"
#include "imagefile_support.h"

namespace imagefile_test {
namespace {

// A packed BMP: file header, info header, bit masks, palette, rows.
Bytes bmp(int width, int height, int bits, const Bytes& palette, const Bytes& rows, uint32_t compression = 0,
          const Bytes& masks = {}) {
    const uint32_t offset = uint32_t(14 + 40 + masks.size() + palette.size());
    Bytes file;
    text(file, "BM");
    for (uint32_t v : {uint32_t(offset + rows.size()), 0u, offset, 40u, uint32_t(width), uint32_t(height)}) u32le(file, v);
    u16le(file, 1);
    u16le(file, uint32_t(bits));
    for (uint32_t v : {compression, uint32_t(rows.size()), 0u, 0u, uint32_t(palette.size() / 4), 0u}) u32le(file, v);
    for (const Bytes* part : {&masks, &palette, &rows}) file.insert(file.end(), part->begin(), part->end());
    return file;
}

TEST_F(ImageFiles, BmpRoundTripsAt24BitsAndKeepsFewColoursAt8And4) {
    const zov::Surface picture = gradient(13, 7);
    ASSERT_EQ(imagefile::save(picture, path("a.bmp"), imagefile::kBmp24), 0);
    zov::Surface loaded;
    ASSERT_EQ(imagefile::load(loaded, path("a.bmp")), 0);
    EXPECT_TRUE(same_pixels(picture, loaded));

    for (const auto& [mode, colours] : {std::pair{imagefile::kBmp8, 200}, std::pair{imagefile::kBmp4, 16}}) {
        const zov::Surface few = few_colours(9, 5, colours);
        ASSERT_EQ(imagefile::save(few, path("b.bmp"), mode), 0);
        ASSERT_EQ(imagefile::load(loaded, path("b.bmp")), 0);
        EXPECT_TRUE(same_pixels(few, loaded)) << mode;
    }
}

TEST_F(ImageFiles, BmpHeadersAreWrittenByteForByte) {
    ASSERT_EQ(imagefile::save(gradient(3, 2), path("a.bmp"), imagefile::kBmp24), 0);
    const Bytes file = contents("a.bmp");
    // 3 pixels of 3 bytes padded to 12 bytes a row; no palette.
    Bytes expected = bmp(3, 2, 24, {}, Bytes(24));
    ASSERT_EQ(file.size(), expected.size());
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 54), Bytes(expected.begin(), expected.begin() + 54));
    ASSERT_EQ(imagefile::save(gradient(3, 2), path("b.bmp"), imagefile::kBmp8), 0);
    const Bytes indexed = contents("b.bmp");
    EXPECT_EQ(indexed.size(), 14u + 40 + 1024 + 8);
    EXPECT_EQ(at32le(indexed, 10), 14u + 40 + 1024);
    EXPECT_EQ(at16le(indexed, 28), 8u);
}

TEST_F(ImageFiles, BmpLowDepthsMapColours) {
    zov::Surface picture = few_colours(17, 1, 17);
    picture.set_pixel(0, 0, zov::rgb(250, 5, 5));
    picture.set_pixel(1, 0, zov::rgb(100, 120, 130));
    zov::Surface loaded;
    // 1 bit: black below gray level 128, else white.
    ASSERT_EQ(imagefile::save(picture, path("a.bmp"), imagefile::kBmp1), 0);
    ASSERT_EQ(imagefile::load(loaded, path("a.bmp")), 0);
    EXPECT_EQ(loaded.get_pixel(1, 0), 0u);
    EXPECT_EQ(loaded.get_pixel(2, 0), 0xFFFFFFu);
    // 4 bits with more than 16 colours: the nearest of the classic 16.
    ASSERT_EQ(imagefile::save(picture, path("a.bmp"), imagefile::kBmp4), 0);
    ASSERT_EQ(imagefile::load(loaded, path("a.bmp")), 0);
    EXPECT_EQ(loaded.get_pixel(0, 0), zov::rgb(255, 0, 0));
    EXPECT_EQ(loaded.get_pixel(1, 0), zov::rgb(128, 128, 128));
    // 16 bits: 5-bit levels widened by repeating their top bits, 100 -> 01100 ->
    // 01100011 = 99, 120 -> 01111 -> 01111011 = 123, 130 -> 10000 -> 10000100 = 132.
    ASSERT_EQ(imagefile::save(picture, path("a.bmp"), imagefile::kBmp16), 0);
    ASSERT_EQ(imagefile::load(loaded, path("a.bmp")), 0);
    EXPECT_EQ(loaded.get_pixel(1, 0), zov::rgb(99, 123, 132));
}

TEST_F(ImageFiles, BmpReadsEveryDepthBottomUp) {
    const Bytes red_blue = {0, 0, 255, 0, 255, 0, 0, 0};
    const uint32_t red = zov::rgb(255, 0, 0), blue = zov::rgb(0, 0, 255);
    // 1 bit: the bottom row (stored first) is red blue red, the top one blue red blue.
    zov::Surface s = surface_of(imagefile::read_bmp(bmp(3, 2, 1, red_blue, {0x40, 0, 0, 0, 0xA0, 0, 0, 0})));
    EXPECT_EQ(s.get_pixel(0, 0), blue);
    EXPECT_EQ(s.get_pixel(1, 0), red);
    EXPECT_EQ(s.get_pixel(0, 1), red);
    // 4 bits; an index past the palette's end is black.
    s = surface_of(imagefile::read_bmp(bmp(3, 1, 4, red_blue, {0x01, 0x20, 0, 0})));
    EXPECT_EQ(s.get_pixel(1, 0), blue);
    EXPECT_EQ(s.get_pixel(2, 0), 0u);
    EXPECT_EQ(surface_of(imagefile::read_bmp(bmp(2, 1, 8, red_blue, {1, 0, 0, 0}))).get_pixel(0, 0), blue);
    EXPECT_EQ(surface_of(imagefile::read_bmp(bmp(1, 1, 24, {}, {10, 20, 30, 0}))).get_pixel(0, 0), zov::rgb(30, 20, 10));
    EXPECT_EQ(surface_of(imagefile::read_bmp(bmp(1, 1, 32, {}, {10, 20, 30, 99}))).get_pixel(0, 0), zov::rgb(30, 20, 10));
    // 16 bits through 5-6-5 masks: full red.
    Bytes masks;
    for (uint32_t m : {0xF800u, 0x07E0u, 0x001Fu}) u32le(masks, m);
    EXPECT_EQ(surface_of(imagefile::read_bmp(bmp(1, 1, 16, {}, {0x00, 0xF8, 0, 0}, 3, masks))).get_pixel(0, 0), red);
    // Run-length codes: a run, end of row, a move right, three literal pixels, the end.
    const Bytes rle8 = {3, 1, 0, 0, 0, 2, 1, 0, 0, 3, 1, 0, 1, 0, 0, 1};
    s = surface_of(imagefile::read_bmp(bmp(4, 2, 8, red_blue, rle8, 1)));
    EXPECT_EQ(s.get_pixel(2, 1), blue);
    EXPECT_EQ(s.get_pixel(3, 1), red);
    EXPECT_EQ(s.get_pixel(0, 0), red);
    EXPECT_EQ(s.get_pixel(1, 0), blue);
    EXPECT_EQ(s.get_pixel(3, 0), blue);
    EXPECT_TRUE(surface_of(imagefile::read_bmp(bmp(4, 2, 8, red_blue, Bytes(rle8.begin(), rle8.end() - 2), 1))).empty());
    s = surface_of(imagefile::read_bmp(bmp(3, 1, 4, red_blue, {3, 0x10, 0, 1}, 2)));
    EXPECT_EQ(s.get_pixel(1, 0), red);
    EXPECT_EQ(s.get_pixel(2, 0), blue);
    // The pixels begin where the file header's offset says, here 4 bytes after the header.
    Bytes shifted = bmp(1, 1, 24, {}, {1, 2, 3, 0, 4, 5, 6, 0});
    shifted[10] = 58;
    EXPECT_EQ(surface_of(imagefile::read_bmp(shifted)).get_pixel(0, 0), zov::rgb(6, 5, 4));
}

TEST_F(ImageFiles, BmpPixelsStartAtTheHeadersOffset) {
    const Bytes red_blue = {0, 0, 255, 0, 255, 0, 0, 0};
    const uint32_t red = zov::rgb(255, 0, 0), blue = zov::rgb(0, 0, 255);
    // Six bytes of something else between the palette and the pixels, at 8 and 4 bits
    // plain and run-length coded.
    for (const auto& [bits, compression, rows] : {std::tuple{8, 0u, Bytes{1, 0, 1, 0}}, std::tuple{4, 0u, Bytes{0x10, 0, 0, 0}},
                                                  std::tuple{8, 1u, Bytes{1, 1, 1, 0, 0, 1}}}) {
        Bytes gapped = bmp(3, 1, bits, red_blue, Bytes(6, 0x11));
        gapped.insert(gapped.end(), rows.begin(), rows.end());
        gapped[10] += 6;
        gapped[30] = uint8_t(compression);
        const zov::Surface s = surface_of(imagefile::read_bmp(gapped));
        ASSERT_EQ(s.width(), 3) << bits << " " << compression;
        EXPECT_EQ(s.get_pixel(0, 0), blue);
        EXPECT_EQ(s.get_pixel(1, 0), red);
    }
    // 16 bits through 5-6-5 masks after a gap of 2 bytes.
    Bytes masks;
    for (uint32_t m : {0xF800u, 0x07E0u, 0x001Fu}) u32le(masks, m);
    Bytes sixteen = bmp(1, 1, 16, {}, {0, 0, 0x00, 0xF8, 0, 0}, 3, masks);
    sixteen[10] += 2;
    EXPECT_EQ(surface_of(imagefile::read_bmp(sixteen)).get_pixel(0, 0), red);
    // Pixels said to begin inside the headers, at the end of the file or past it.
    const Bytes plain = bmp(1, 1, 24, {}, {1, 2, 3, 0});
    for (uint32_t offset : {0u, 14u + 39, uint32_t(plain.size()), 0x7FFFFFFFu}) {
        Bytes moved = plain;
        for (int i = 0; i < 4; ++i) moved[10 + std::size_t(i)] = uint8_t(offset >> (8 * i));
        EXPECT_FALSE(imagefile::read_bmp(moved)) << offset;
    }
}

TEST_F(ImageFiles, BmpSixteenAndThirtyTwoBitChannelsWidenToEightBitsByRepeatingTheirTopBits) {
    // 5-5-5 without masks: red 30 = 11110 -> 11110111, green 3 = 00011 -> 00011000,
    // blue 16 = 10000 -> 10000100.
    const uint32_t word555 = 30u << 10 | 3u << 5 | 16u;
    EXPECT_EQ(surface_of(imagefile::read_bmp(bmp(1, 1, 16, {}, {uint8_t(word555), uint8_t(word555 >> 8), 0, 0}))).get_pixel(0, 0),
              zov::rgb(247, 24, 132));
    // 5-6-5: red 29 = 11101 -> 11101111, green 54 = 110110 -> 11011011, blue 1 -> 00001000.
    Bytes masks;
    for (uint32_t m : {0xF800u, 0x07E0u, 0x001Fu}) u32le(masks, m);
    const uint32_t word565 = 29u << 11 | 54u << 5 | 1u;
    EXPECT_EQ(surface_of(imagefile::read_bmp(bmp(1, 1, 16, {}, {uint8_t(word565), uint8_t(word565 >> 8), 0, 0}, 3, masks)))
                  .get_pixel(0, 0),
              zov::rgb(239, 219, 8));
    // 10 bits a channel keep their top 8: 0x3FF -> 255, 0x200 -> 128, 0x0FF -> 63.
    Bytes wide_masks;
    for (uint32_t m : {0x3FF00000u, 0x000FFC00u, 0x000003FFu}) u32le(wide_masks, m);
    const uint32_t word = 0x3FFu << 20 | 0x200u << 10 | 0x0FFu;
    const Bytes pixel = {uint8_t(word), uint8_t(word >> 8), uint8_t(word >> 16), uint8_t(word >> 24)};
    EXPECT_EQ(surface_of(imagefile::read_bmp(bmp(1, 1, 32, {}, pixel, 3, wide_masks))).get_pixel(0, 0), zov::rgb(255, 128, 63));
}

TEST_F(ImageFiles, BmpRefusesTopDownEmptyHugeAndDamagedFiles) {
    const Bytes pixel = {1, 2, 3, 0};
    EXPECT_FALSE(imagefile::read_bmp(bmp(1, -1, 24, {}, pixel)));
    EXPECT_FALSE(imagefile::read_bmp(bmp(0, 1, 24, {}, pixel)));
    EXPECT_FALSE(imagefile::read_bmp(bmp(1, 0, 24, {}, pixel)));
    EXPECT_FALSE(imagefile::read_bmp(bmp(int(0x80000000u), 1, 24, {}, pixel)));
    // Claims 65536 x 65536 pixels but holds one: refused before any allocation.
    EXPECT_FALSE(imagefile::read_bmp(bmp(65536, 65536, 24, {}, pixel)));
    EXPECT_FALSE(imagefile::read_bmp(bmp(1, 1, 7, {}, pixel)));
    Bytes wrong_magic = bmp(1, 1, 24, {}, pixel);
    wrong_magic[0] = 'X';
    EXPECT_FALSE(imagefile::read_bmp(wrong_magic));
    // A palette said to run past the end of the file.
    Bytes long_palette = bmp(1, 1, 8, {0, 0, 0, 0}, pixel);
    long_palette[14 + 32] = 0xFF;
    long_palette[14 + 35] = 0x7F;
    EXPECT_FALSE(imagefile::read_bmp(long_palette));
    // Every truncation fails.
    const Bytes whole = bmp(5, 3, 8, Bytes(16 * 4, 9), Bytes(24, 1));
    ASSERT_TRUE(imagefile::read_bmp(whole));
    for (std::size_t length = 0; length < whole.size(); ++length)
        EXPECT_FALSE(imagefile::read_bmp(imagefile::ByteSpan(whole.data(), length))) << length;
}

TEST_F(ImageFiles, LoadChoosesByExtensionWithoutRegardToCase) {
    ASSERT_EQ(imagefile::save(gradient(4, 4), path("a.bmp"), imagefile::kBmp24), 0);
    std::filesystem::copy_file(path("a.bmp"), path("A.BmP"));
    std::filesystem::copy_file(path("a.bmp"), path("noextension"));
    zov::Surface loaded;
    EXPECT_EQ(imagefile::load(loaded, path("A.BmP")), 0);
    EXPECT_EQ(imagefile::load(loaded, path("noextension")), 0);
    EXPECT_EQ(loaded.width(), 4);
    // A PNG without an extension loads once the BMP reader has refused it.
    ASSERT_EQ(imagefile::save(gradient(5, 2), path("picture.png"), imagefile::kPng24), 0);
    std::filesystem::rename(path("picture.png"), path("picture"));
    EXPECT_EQ(imagefile::load(loaded, path("picture")), 0);
    EXPECT_EQ(loaded.width(), 5);
    EXPECT_EQ(imagefile::load(loaded, path("missing.bmp")), -1);
    put("empty.bmp", {});
    EXPECT_EQ(imagefile::load(loaded, path("empty.bmp")), -1);
    EXPECT_EQ(loaded.width(), 5);
}

TEST_F(ImageFiles, FailedSavesLeaveNoFileOrTheOldOneAndAppendingAddsToIt) {
    const zov::Surface picture = gradient(3, 3);
    for (int mode : {25, 0, 0x1000 | 25}) EXPECT_EQ(imagefile::save(picture, path("a.bmp"), mode), -1);
    EXPECT_EQ(imagefile::save(zov::Surface(), path("a.bmp"), imagefile::kBmp24), -1);
    EXPECT_EQ(imagefile::save(picture, "", imagefile::kBmp24), -1);
    EXPECT_EQ(imagefile::save(picture, path("nofolder/a.bmp"), imagefile::kBmp24), -1);
    EXPECT_EQ(files_in_dir(), 0u);
    // GIF sizes are 16-bit: a picture 70000 pixels wide cannot be written.
    put("old.gif", {1, 2, 3});
    EXPECT_EQ(imagefile::save(zov::Surface(70000, 1), path("old.gif"), imagefile::kGif), -1);
    EXPECT_EQ(contents("old.gif"), (Bytes{1, 2, 3}));
    EXPECT_EQ(files_in_dir(), 1u);
    // The append bit counts for PNG and JPEG only.
    ASSERT_EQ(imagefile::save(picture, path("a.png"), imagefile::kPng24), 0);
    const std::size_t one = contents("a.png").size();
    ASSERT_EQ(imagefile::save(picture, path("a.png"), imagefile::kPng24 | imagefile::kAppend), 0);
    EXPECT_EQ(contents("a.png").size(), 2 * one);
    for (int i = 0; i < 2; ++i) ASSERT_EQ(imagefile::save(picture, path("a.bmp"), imagefile::kBmp24 | imagefile::kAppend), 0);
    EXPECT_EQ(contents("a.bmp").size(), 14u + 40 + 36);
    EXPECT_EQ(files_in_dir(), 3u);
}

TEST_F(ImageFiles, DiagnosticsGoToStandardErrorOnlyWithZovDebug) {
    zov::Surface loaded;
    unsetenv("ZOV_DEBUG");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(imagefile::load(loaded, path("missing.png")), -1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    setenv("ZOV_DEBUG", "1", 1);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(imagefile::save(loaded, path("a.bmp"), 99), -1);
    const std::string report = ::testing::internal::GetCapturedStderr();
    unsetenv("ZOV_DEBUG");
    EXPECT_EQ(report.rfind("ZOV/ZOV:", 0), 0u) << report;
    EXPECT_NE(report.find(" mod が無効\n"), std::string::npos) << report;
}

TEST_F(ImageFiles, LoadKeepsTheSurfacesColourTableAndRespectsThePixelLimit) {
    ASSERT_EQ(imagefile::save(gradient(40, 30), path("a.bmp"), imagefile::kBmp24), 0);
    zov::Surface loaded(1, 1);
    loaded.colour_table = {1, 2, 3};
    ASSERT_EQ(imagefile::load(loaded, path("a.bmp")), 0);
    EXPECT_EQ(loaded.colour_table, (std::vector<uint32_t>{1, 2, 3}));
    imagefile::set_max_pixels(40 * 30 - 1);
    EXPECT_EQ(imagefile::load(loaded, path("a.bmp")), -1);
    imagefile::set_max_pixels(imagefile::kDefaultMaxPixels);
    // Each side stays within the largest window's, 19200 x 10800.
    for (const auto& [width, height, loads] : {std::tuple{19200, 1, true}, std::tuple{19201, 1, false},
                                               std::tuple{1, 10800, true}, std::tuple{1, 10801, false},
                                               std::tuple{100000, 1, false}}) {
        const std::size_t stride = (std::size_t(width) * 3 + 3) / 4 * 4;
        put("side.bmp", bmp(width, height, 24, {}, Bytes(stride * std::size_t(height), 7)));
        EXPECT_EQ(imagefile::load(loaded, path("side.bmp")), loads ? 0 : -1) << width << " x " << height;
    }
    EXPECT_EQ(loaded.width(), 1);
    EXPECT_EQ(loaded.height(), 10800);
}

}  // namespace
}  // namespace imagefile_test
