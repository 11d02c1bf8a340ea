// What the image file tests share: a scratch folder, test pictures, and little-endian
// byte builders for the files the tests make themselves.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "imagefile/dib.h"
#include "imagefile/gfile.h"
#include "zov/surface.h"

namespace imagefile_test {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

class ImageFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("velmora-image-" + std::to_string(getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string path(const std::string& name) const { return (dir / name).string(); }

    std::string put(const std::string& name, const Bytes& bytes) const {
        std::ofstream(path(name), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path(name);
    }

    Bytes contents(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }

    std::size_t files_in_dir() const { return std::size_t(std::distance(fs::directory_iterator(dir), fs::directory_iterator())); }

    fs::path dir;
};

// A picture whose every pixel differs from its neighbours.
inline zov::Surface gradient(int width, int height) {
    zov::Surface surface(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) surface.set_pixel(x, y, zov::rgb(x * 7 + y, y * 11 + 3 * x, (x ^ y) * 5));
    return surface;
}

// A picture in `count` colours.
inline zov::Surface few_colours(int width, int height, int count) {
    zov::Surface surface(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int k = (x + 2 * y) % count;
            surface.set_pixel(x, y, zov::rgb(k * 37, 255 - k * 13, k * 91));
        }
    return surface;
}

inline bool same_pixels(const zov::Surface& a, const zov::Surface& b) {
    if (a.width() != b.width() || a.height() != b.height()) return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.get_pixel(x, y) != b.get_pixel(x, y)) return false;
    return true;
}

inline void u16le(Bytes& out, uint32_t v) { out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8)}); }
inline void u32le(Bytes& out, uint32_t v) { u16le(out, v & 0xFFFF); u16le(out, v >> 16); }
inline void text(Bytes& out, const std::string& s) {
    for (char c : s) out.push_back(uint8_t(c));
}
inline uint32_t at32le(const Bytes& b, std::size_t i) { return b[i] | b[i + 1] << 8 | b[i + 2] << 16 | uint32_t(b[i + 3]) << 24; }
inline uint32_t at16le(const Bytes& b, std::size_t i) { return b[i] | b[i + 1] << 8; }

}  // namespace imagefile_test
