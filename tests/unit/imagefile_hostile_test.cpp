// Damaged files for every reader: each cut short at every length, and many with bytes
// changed at random. Nothing may crash or read outside the file (the sanitizer build
// checks that); the formats that can tell a short file fail on one.
#include <random>

#include "imagefile/formats.h"
#include "imagefile/limits.h"
#include "imagefile_support.h"

namespace imagefile_test {
namespace {

struct Format {
    const char* name;
    int mode;
    std::optional<imagefile::Dib> (*read)(imagefile::ByteSpan);
    // Trailing bytes a file can lose and still load (GIF's trailer), or -1 when a
    // short file loads with its missing pixels black (TIFF and raw PNM).
    int spare_bytes;
};

std::optional<imagefile::Dib> read_gif(imagefile::ByteSpan file) { return imagefile::read_gif(file); }

const Format kFormats[] = {
    {"a.bmp", imagefile::kBmp8, imagefile::read_bmp, 0},
    {"a.ppm", imagefile::kPpm, imagefile::read_pnm, -1},
    {"a.tif", imagefile::kTiff8, imagefile::read_tiff, -1},
    {"a.gif", imagefile::kGif, read_gif, 1},
    {"a.png", imagefile::kPng24, imagefile::read_png, 0},
    {"a.jpg", imagefile::kJpeg, imagefile::read_jpeg, 0},
};

TEST_F(ImageFiles, EveryReaderSurvivesEveryTruncation) {
    for (const Format& format : kFormats) {
        ASSERT_EQ(imagefile::save(few_colours(19, 11, 40), path(format.name), format.mode), 0);
        const Bytes file = contents(format.name);
        ASSERT_TRUE(format.read(file)) << format.name;
        for (std::size_t length = 0; length < file.size(); ++length) {
            const bool loaded = format.read(imagefile::ByteSpan(file.data(), length)).has_value();
            if (format.spare_bytes >= 0 && length + std::size_t(format.spare_bytes) < file.size()) {
                EXPECT_FALSE(loaded) << format.name << " cut to " << length;
            }
        }
    }
}

TEST_F(ImageFiles, EveryReaderSurvivesChangedBytes) {
    // Small enough a limit that a changed size cannot make a reader allocate much.
    imagefile::set_max_pixels(1 << 16);
    std::mt19937 random(2026);
    for (const Format& format : kFormats) {
        ASSERT_EQ(imagefile::save(gradient(23, 13), path(format.name), format.mode), 0);
        const Bytes file = contents(format.name);
        for (int trial = 0; trial < 300; ++trial) {
            Bytes damaged = file;
            const int changes = 1 + int(random() % 4);
            for (int i = 0; i < changes; ++i) {
                // Headers are where the damage does most, so aim there more often.
                const std::size_t span = trial % 2 ? damaged.size() : std::min<std::size_t>(damaged.size(), 64);
                damaged[random() % span] = uint8_t(random());
            }
            for (const Format& reader : kFormats) reader.read(damaged);
            imagefile::read_ico(damaged);
        }
    }
    imagefile::set_max_pixels(imagefile::kDefaultMaxPixels);
}

}  // namespace
}  // namespace imagefile_test
