// BMP files and the load/save dispatch.
#include <cstdlib>

#include "imagefile/formats.h"
#include "imagefile/limits.h"
#include "imagefile_support.h"

namespace imagefile_test {
namespace {

// A packed BMP: file header, info header (height negative for top-down), palette, rows.
Bytes bmp(int width, int height, int bits, const Bytes& palette, const Bytes& rows, uint32_t compression = 0,
          const Bytes& masks = {}) {
    Bytes info;
    u32le(info, 40);
    u32le(info, uint32_t(width));
    u32le(info, uint32_t(height));
    u16le(info, 1);
    u16le(info, uint32_t(bits));
    u32le(info, compression);
    u32le(info, uint32_t(rows.size()));
    u32le(info, 0);
    u32le(info, 0);
    u32le(info, uint32_t(palette.size() / 4));
    u32le(info, 0);
    Bytes file;
    text(file, "BM");
    u32le(file, uint32_t(14 + info.size() + masks.size() + palette.size() + rows.size()));
    u32le(file, 0);
    u32le(file, uint32_t(14 + info.size() + masks.size() + palette.size()));
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), masks.begin(), masks.end());
    file.insert(file.end(), palette.begin(), palette.end());
    file.insert(file.end(), rows.begin(), rows.end());
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
    // 3 pixels of 3 bytes padded to 12 bytes a row.
    ASSERT_EQ(file.size(), 14u + 40 + 24);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(at32le(file, 2), 78u);
    EXPECT_EQ(at32le(file, 6), 0u);
    EXPECT_EQ(at32le(file, 10), 54u);
    EXPECT_EQ(at32le(file, 14), 40u);
    EXPECT_EQ(at32le(file, 18), 3u);
    EXPECT_EQ(at32le(file, 22), 2u);
    EXPECT_EQ(at16le(file, 26), 1u);
    EXPECT_EQ(at16le(file, 28), 24u);
    EXPECT_EQ(at32le(file, 30), 0u);
    EXPECT_EQ(at32le(file, 34), 24u);

    ASSERT_EQ(imagefile::save(gradient(3, 2), path("b.bmp"), imagefile::kBmp8), 0);
    const Bytes indexed = contents("b.bmp");
    EXPECT_EQ(indexed.size(), 14u + 40 + 1024 + 8);
    EXPECT_EQ(at32le(indexed, 10), 14u + 40 + 1024);
    EXPECT_EQ(at16le(indexed, 28), 8u);
}

TEST_F(ImageFiles, BmpOneBitIsBlackAndWhiteAndSixteenBitsKeepFiveBitsAChannel) {
    zov::Surface picture(2, 1);
    picture.set_pixel(0, 0, zov::rgb(100, 100, 100));
    picture.set_pixel(1, 0, zov::rgb(200, 150, 130));
    zov::Surface loaded;
    ASSERT_EQ(imagefile::save(picture, path("a.bmp"), imagefile::kBmp1), 0);
    ASSERT_EQ(imagefile::load(loaded, path("a.bmp")), 0);
    EXPECT_EQ(loaded.get_pixel(0, 0), 0u);
    EXPECT_EQ(loaded.get_pixel(1, 0), 0xFFFFFFu);
    ASSERT_EQ(imagefile::save(picture, path("a.bmp"), imagefile::kBmp16), 0);
    ASSERT_EQ(imagefile::load(loaded, path("a.bmp")), 0);
    // 5-bit levels scaled back: 200 -> 25 -> 205, 150 -> 18 -> 148, 130 -> 16 -> 131.
    EXPECT_EQ(loaded.get_pixel(1, 0), zov::rgb(205, 148, 131));
}

TEST_F(ImageFiles, BmpFourBitsWithMoreThanSixteenColoursTakeTheNearestClassicColour) {
    zov::Surface picture = few_colours(17, 1, 17);
    picture.set_pixel(0, 0, zov::rgb(250, 5, 5));
    picture.set_pixel(1, 0, zov::rgb(100, 120, 130));
    ASSERT_EQ(imagefile::save(picture, path("a.bmp"), imagefile::kBmp4), 0);
    zov::Surface loaded;
    ASSERT_EQ(imagefile::load(loaded, path("a.bmp")), 0);
    EXPECT_EQ(loaded.get_pixel(0, 0), zov::rgb(255, 0, 0));
    EXPECT_EQ(loaded.get_pixel(1, 0), zov::rgb(128, 128, 128));
}

TEST_F(ImageFiles, BmpReadsEveryDepthBottomUp) {
    const Bytes two_colours = {0, 0, 255, 0, 255, 0, 0, 0};  // red, blue
    // 1 bit: row 0 (bottom) = red blue red, row 1 (top) = blue red blue.
    auto dib = imagefile::read_bmp(bmp(3, 2, 1, two_colours, {0x40, 0, 0, 0, 0xA0, 0, 0, 0}));
    ASSERT_TRUE(dib);
    zov::Surface s = imagefile::to_surface(std::move(*dib));
    EXPECT_EQ(s.get_pixel(0, 0), zov::rgb(0, 0, 255));
    EXPECT_EQ(s.get_pixel(1, 0), zov::rgb(255, 0, 0));
    EXPECT_EQ(s.get_pixel(0, 1), zov::rgb(255, 0, 0));

    dib = imagefile::read_bmp(bmp(3, 1, 4, two_colours, {0x01, 0x20, 0, 0}));
    ASSERT_TRUE(dib);
    s = imagefile::to_surface(std::move(*dib));
    EXPECT_EQ(s.get_pixel(0, 0), zov::rgb(255, 0, 0));
    EXPECT_EQ(s.get_pixel(1, 0), zov::rgb(0, 0, 255));
    // An index past the palette's end is black.
    EXPECT_EQ(s.get_pixel(2, 0), 0u);

    dib = imagefile::read_bmp(bmp(2, 1, 8, two_colours, {1, 0, 0, 0}));
    ASSERT_TRUE(dib);
    EXPECT_EQ(imagefile::to_surface(std::move(*dib)).get_pixel(0, 0), zov::rgb(0, 0, 255));

    dib = imagefile::read_bmp(bmp(1, 1, 24, {}, {10, 20, 30, 0}));
    ASSERT_TRUE(dib);
    EXPECT_EQ(imagefile::to_surface(std::move(*dib)).get_pixel(0, 0), zov::rgb(30, 20, 10));

    dib = imagefile::read_bmp(bmp(1, 1, 32, {}, {10, 20, 30, 99}));
    ASSERT_TRUE(dib);
    EXPECT_EQ(imagefile::to_surface(std::move(*dib)).get_pixel(0, 0), zov::rgb(30, 20, 10));

    // 16 bits through 5-6-5 masks: full red.
    Bytes masks;
    for (uint32_t m : {0xF800u, 0x07E0u, 0x001Fu}) u32le(masks, m);
    dib = imagefile::read_bmp(bmp(1, 1, 16, {}, {0x00, 0xF8, 0, 0}, 3, masks));
    ASSERT_TRUE(dib);
    EXPECT_EQ(imagefile::to_surface(std::move(*dib)).get_pixel(0, 0), zov::rgb(255, 0, 0));
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

TEST_F(ImageFiles, BmpIgnoresThePixelOffsetField) {
    Bytes file = bmp(1, 1, 24, {}, {1, 2, 3, 0, 4, 5, 6, 0});
    file[10] = 58;  // says the pixels start 4 bytes later
    auto dib = imagefile::read_bmp(file);
    ASSERT_TRUE(dib);
    EXPECT_EQ(imagefile::to_surface(std::move(*dib)).get_pixel(0, 0), zov::rgb(3, 2, 1));
}

TEST_F(ImageFiles, LoadChoosesByExtensionWithoutRegardToCase) {
    ASSERT_EQ(imagefile::save(gradient(4, 4), path("a.bmp"), imagefile::kBmp24), 0);
    std::filesystem::copy_file(path("a.bmp"), path("A.BmP"));
    std::filesystem::copy_file(path("a.bmp"), path("noextension"));
    zov::Surface loaded;
    EXPECT_EQ(imagefile::load(loaded, path("A.BmP")), 0);
    EXPECT_EQ(imagefile::load(loaded, path("noextension")), 0);
    EXPECT_EQ(loaded.width(), 4);
    EXPECT_EQ(imagefile::load(loaded, path("missing.bmp")), -1);
    put("empty.bmp", {});
    EXPECT_EQ(imagefile::load(loaded, path("empty.bmp")), -1);
    EXPECT_EQ(loaded.width(), 4);
}

TEST_F(ImageFiles, SaveRefusesBadModesAndLeavesNoFileBehind) {
    const zov::Surface picture = gradient(2, 2);
    EXPECT_EQ(imagefile::save(picture, path("a.bmp"), 25), -1);
    EXPECT_EQ(imagefile::save(picture, path("a.bmp"), 0), -1);
    EXPECT_EQ(imagefile::save(zov::Surface(), path("a.bmp"), imagefile::kBmp24), -1);
    EXPECT_EQ(imagefile::save(picture, "", imagefile::kBmp24), -1);
    EXPECT_EQ(imagefile::save(picture, path("nofolder/a.bmp"), imagefile::kBmp24), -1);
    EXPECT_EQ(files_in_dir(), 0u);
    // A save over an existing file replaces it whole and leaves no temporary beside it.
    put("old.bmp", {1, 2, 3});
    EXPECT_EQ(imagefile::save(picture, path("old.bmp"), imagefile::kBmp24), 0);
    EXPECT_EQ(contents("old.bmp").size(), 14u + 40 + 16);
    EXPECT_EQ(files_in_dir(), 1u);
}

TEST_F(ImageFiles, AFailedSaveKeepsTheOldFileAndAppendingAddsToIt) {
    put("old.gif", {1, 2, 3});
    // GIF sizes are 16-bit: a picture 70000 pixels wide cannot be written.
    EXPECT_EQ(imagefile::save(zov::Surface(70000, 1), path("old.gif"), imagefile::kGif), -1);
    EXPECT_EQ(contents("old.gif"), (Bytes{1, 2, 3}));
    EXPECT_EQ(files_in_dir(), 1u);
    // The append bit counts for PNG and JPEG only.
    ASSERT_EQ(imagefile::save(gradient(3, 3), path("a.png"), imagefile::kPng24), 0);
    const std::size_t one = contents("a.png").size();
    ASSERT_EQ(imagefile::save(gradient(3, 3), path("a.png"), imagefile::kPng24 | imagefile::kAppend), 0);
    EXPECT_EQ(contents("a.png").size(), 2 * one);
    ASSERT_EQ(imagefile::save(gradient(3, 3), path("a.bmp"), imagefile::kBmp24 | imagefile::kAppend), 0);
    ASSERT_EQ(imagefile::save(gradient(3, 3), path("a.bmp"), imagefile::kBmp24 | imagefile::kAppend), 0);
    EXPECT_EQ(contents("a.bmp").size(), 14u + 40 + 36);
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
}

}  // namespace
}  // namespace imagefile_test
