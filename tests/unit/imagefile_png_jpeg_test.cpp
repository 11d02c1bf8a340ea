// PNG and JPEG files: what gsave writes, and reading the kinds of file other programs
// write, made here with libpng and libjpeg directly.
#include <png.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>

#include <zlib.h>

#include <jpeglib.h>

#include "imagefile/formats.h"
#include "imagefile/jpeg_library.h"
#include "imagefile/limits.h"
#include "imagefile/png_library.h"
#include "imagefile_support.h"
#include "jpeg_fixture.h"

namespace imagefile_test {
namespace {

void append(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

// A PNG of the given depth and colour type; `rows` are packed as PNG packs them.
Bytes png_file(int width, int height, int depth, int colour_type, const std::vector<Bytes>& rows,
               const std::vector<png_color>& palette = {}, const Bytes& transparent = {}) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, append, nullptr);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), depth, colour_type, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), int(palette.size()));
    if (!transparent.empty()) png_set_tRNS(png, info, transparent.data(), int(transparent.size()), nullptr);
    png_write_info(png, info);
    for (const Bytes& row : rows) png_write_row(png, row.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

TEST_F(ImageFiles, PngSavesEightBitRgbOrGrayAndRoundTrips) {
    const zov::Surface picture = gradient(21, 9);
    ASSERT_EQ(imagefile::save(picture, path("A.PNG"), imagefile::kPng24), 0);
    const Bytes file = contents("A.PNG");
    // IHDR: width 21, height 9, depth 8, colour type 2, not interlaced.
    ASSERT_GT(file.size(), 29u);
    EXPECT_EQ(Bytes(file.begin() + 12, file.begin() + 16), (Bytes{'I', 'H', 'D', 'R'}));
    EXPECT_EQ(Bytes(file.begin() + 16, file.begin() + 29), (Bytes{0, 0, 0, 21, 0, 0, 0, 9, 8, 2, 0, 0, 0}));
    zov::Surface loaded;
    ASSERT_EQ(imagefile::load(loaded, path("A.PNG")), 0);
    EXPECT_TRUE(same_pixels(picture, loaded));

    ASSERT_EQ(imagefile::save(picture, path("g.png"), imagefile::kPng8), 0);
    EXPECT_EQ(contents("g.png")[25], 0);
    ASSERT_EQ(imagefile::load(loaded, path("g.png")), 0);
    const uint32_t p = picture.get_pixel(20, 8);
    const int level = imagefile::gray_of(int(p & 255), int(p >> 8 & 255), int(p >> 16));
    EXPECT_EQ(loaded.get_pixel(20, 8), zov::rgb(level, level, level));
}

TEST(Png, ReadsPaletteGrayAlphaAndSixteenBitFilesAsOpaqueRgb) {
    // A palette with a transparent entry loads opaque.
    zov::Surface s = surface_of(imagefile::read_png(png_file(2, 1, 8, PNG_COLOR_TYPE_PALETTE, {{1, 0}}, {{10, 20, 30}, {40, 50, 60}}, {0})));
    EXPECT_EQ(s.get_pixel(0, 0), zov::rgb(40, 50, 60));
    EXPECT_EQ(s.get_pixel(1, 0), zov::rgb(10, 20, 30));
    s = surface_of(imagefile::read_png(png_file(3, 1, 1, PNG_COLOR_TYPE_GRAY, {{0xA0}})));
    EXPECT_EQ(s.get_pixel(0, 0), 0xFFFFFFu);
    EXPECT_EQ(s.get_pixel(1, 0), 0u);
    s = surface_of(imagefile::read_png(png_file(1, 1, 8, PNG_COLOR_TYPE_GRAY_ALPHA, {{77, 0}})));
    EXPECT_EQ(s.get_pixel(0, 0), zov::rgb(77, 77, 77));
    s = surface_of(imagefile::read_png(png_file(1, 1, 16, PNG_COLOR_TYPE_RGB_ALPHA, {{0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0, 0}})));
    EXPECT_EQ(s.get_pixel(0, 0), zov::rgb(0x12, 0x56, 0x9A));
}

TEST_F(ImageFiles, PngRefusesOtherFilesHugeSizesAndDamage) {
    ASSERT_EQ(imagefile::save(gradient(4, 4), path("x.png"), imagefile::kJpeg), 0);
    zov::Surface loaded;
    EXPECT_EQ(imagefile::load(loaded, path("x.png")), -1);
    // An IHDR claiming 100000 x 100000 (its checksum mended) is refused before reading.
    Bytes huge = png_file(1, 1, 8, PNG_COLOR_TYPE_GRAY, {{0}});
    huge[18] = huge[22] = 0x01;
    huge[19] = huge[23] = 0x86;
    huge[20] = huge[24] = 0xA0;
    const uLong crc = crc32(0, huge.data() + 12, 17);
    for (int i = 0; i < 4; ++i) huge[29 + std::size_t(i)] = uint8_t(crc >> (24 - 8 * i));
    EXPECT_FALSE(imagefile::read_png(huge));
    Bytes bad_sum = png_file(1, 1, 8, PNG_COLOR_TYPE_GRAY, {{0}});
    bad_sum[30] ^= 1;
    EXPECT_FALSE(imagefile::read_png(bad_sum));
}

using jpeg_fixture::jpeg_file;

bool near(uint32_t a, uint32_t b, int tolerance) {
    for (int shift : {0, 8, 16})
        if (std::abs(int(a >> shift & 255) - int(b >> shift & 255)) > tolerance) return false;
    return true;
}

TEST_F(ImageFiles, JpegSavesBaselineQuality90WithoutSubsamplingAndLoadsWithinTolerance) {
    // A smooth picture: quality 90 keeps every channel within 8 levels.
    zov::Surface picture(64, 48);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) picture.set_pixel(x, y, zov::rgb(x * 4, y * 5, 128 + (x - y)));
    ASSERT_EQ(imagefile::save(picture, path("a.jpeg"), imagefile::kJpeg), 0);
    const Bytes file = contents("a.jpeg");
    // The first quantisation value of quality 90 is 16 * 20 / 100 rounded: 3.
    const Bytes dqt_marker = {0xFF, 0xDB};
    const auto dqt = std::search(file.begin(), file.end(), dqt_marker.begin(), dqt_marker.end());
    ASSERT_NE(dqt, file.end());
    EXPECT_EQ(dqt[5], 3);
    // Baseline frame: three components, each sampled 1 x 1.
    const Bytes sof0 = {0xFF, 0xC0};
    const auto frame = std::search(file.begin(), file.end(), sof0.begin(), sof0.end());
    ASSERT_NE(frame, file.end());
    EXPECT_EQ(frame[9], 3);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(frame[11 + 3 * c], 0x11) << c;
    zov::Surface loaded;
    ASSERT_EQ(imagefile::load(loaded, path("a.jpeg")), 0);
    ASSERT_EQ(loaded.width(), 64);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) ASSERT_TRUE(near(loaded.get_pixel(x, y), picture.get_pixel(x, y), 8)) << x << "," << y;
}

TEST(Jpeg, ReadsGrayAndInvertedCmykAndYcck) {
    const zov::Surface gray = surface_of(imagefile::read_jpeg(jpeg_file(8, 8, JCS_GRAYSCALE, 1, {90})));
    EXPECT_TRUE(near(gray.get_pixel(3, 3), zov::rgb(90, 90, 90), 1));
    // Samples 200, 100, 50 and black 128 (Adobe's inverted form: 255 less the ink):
    // red 200 x 128 / 255 = 100.4, green 50.2, blue 25.1; plain CMYK with Adobe's
    // marker, CMYK without it, and YCCK alike.
    const Bytes samples = {200, 100, 50, 128};
    for (const Bytes& file : {jpeg_file(8, 8, JCS_CMYK, 4, samples, JCS_CMYK), jpeg_file(8, 8, JCS_CMYK, 4, samples, JCS_CMYK, false),
                              jpeg_file(8, 8, JCS_CMYK, 4, samples, JCS_YCCK)}) {
        EXPECT_TRUE(near(surface_of(imagefile::read_jpeg(file)).get_pixel(3, 3), zov::rgb(100, 50, 25), 1));
    }
    // Full ink of black (sample 0) is black whatever the other inks.
    EXPECT_TRUE(near(surface_of(imagefile::read_jpeg(jpeg_file(8, 8, JCS_CMYK, 4, {255, 255, 255, 0}))).get_pixel(3, 3), 0, 1));
}

TEST(Jpeg, RefusesTruncatedAndHugeFiles) {
    const Bytes file = jpeg_file(16, 16, JCS_RGB, 3, {1, 2, 3});
    ASSERT_TRUE(imagefile::read_jpeg(file));
    EXPECT_FALSE(imagefile::read_jpeg(imagefile::ByteSpan(file.data(), file.size() - 10)));
    // 65000 x 65000 in the frame header: refused before any pixel is decoded.
    Bytes huge = file;
    const Bytes sof0 = {0xFF, 0xC0};
    const auto frame = std::search(huge.begin(), huge.end(), sof0.begin(), sof0.end());
    ASSERT_NE(frame, huge.end());
    frame[5] = frame[7] = 0xFD;
    frame[6] = frame[8] = 0xE8;
    EXPECT_FALSE(imagefile::read_jpeg(huge));
}

// A SONAME or function name the installed library lacks leaves its table null, and
// every PNG or JPEG file then fails to load and save.
TEST(ImageLibraries, PngAndJpegTablesOpen) {
    EXPECT_NE(imagefile::png_library(), nullptr);
    EXPECT_NE(imagefile::jpeg_library(), nullptr);
}

}  // namespace
}  // namespace imagefile_test
