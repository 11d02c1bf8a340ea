// Writes small files of every image format into the fuzz corpora, one folder per
// reader: DIR/bmp, DIR/pnm, DIR/ico, DIR/tiff, DIR/gif, DIR/png, DIR/jpeg. Besides
// what gsave writes: BMPs with a gap before their pixels and with 5-6-5 masks, GIFs
// whose data ends early or is empty, and CMYK and YCCK JPEGs (made with libjpeg).
// Usage: image_seeds DIR
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "imagefile/gfile.h"
#include "jpeg_fixture.h"

namespace {

namespace fs = std::filesystem;

zov::Surface picture(int width, int height, int colours) {
    zov::Surface surface(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int k = (x * 3 + y * 5) % colours;
            surface.set_pixel(x, y, zov::rgb(k * 61, 255 - k * 29, k * 17));
        }
    return surface;
}

void put(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The classic 32 x 32 icon in 16 colours, with a few pixels set and one transparent.
std::string icon() {
    std::string file("\0\0\1\0\1\0\x20\x20\x10\0\1\0\4\0\xE8\x02\0\0\x16\0\0\0", 22);
    file += std::string("\x28\0\0\0\x20\0\0\0\x40\0\0\0\1\0\4\0", 16) + std::string(24, '\0');
    for (int i = 0; i < 16; ++i) file += std::string{char(i * 16), char(255 - i * 16), char(i), '\0'};
    std::string pixels(512, '\0'), mask(128, '\0');
    pixels[0] = '\x12';
    pixels[511] = '\x34';
    mask[127] = '\x01';
    return file + pixels + mask;
}

std::string contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void put_u32(std::string& bytes, std::size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + std::size_t(i)] = char(value >> (8 * i));
}

// The BMP with `gap` bytes between its palette and its pixels, its offset moved past them.
std::string with_gap(std::string bmp, std::size_t gap) {
    const std::size_t offset = uint8_t(bmp[10]) | uint8_t(bmp[11]) << 8 | uint8_t(bmp[12]) << 16;
    bmp.insert(offset, gap, '\x5a');
    put_u32(bmp, 2, uint32_t(bmp.size()));
    put_u32(bmp, 10, uint32_t(offset + gap));
    return bmp;
}

// Two 5-6-5 pixels a row, two rows, after the info header and its three masks.
std::string bmp_565() {
    std::string file("BM\0\0\0\0\0\0\0\0\x42\0\0\0", 14);
    file += std::string("\x28\0\0\0\2\0\0\0\2\0\0\0\1\0\x10\0\3\0\0\0\x08\0\0\0", 24) + std::string(16, '\0');
    file += std::string("\0\xf8\0\0\xe0\x07\0\0\x1f\0\0\0", 12);
    file += std::string("\x1f\xf8\xe0\x07\xff\xff\0\0", 8);
    put_u32(file, 2, uint32_t(file.size()));
    return file;
}

// gsave's GIF87a layout: the image data's sub-blocks begin after the header, the
// 256-entry colour table, the image descriptor and the code size byte.
constexpr std::size_t kGifDataStart = 6 + 7 + 768 + 10 + 1;

// The GIF with its first data sub-block cut to half its length, the rest dropped.
std::string gif_cut_short(const std::string& gif) {
    const std::size_t half = uint8_t(gif[kGifDataStart]) / 2;
    return gif.substr(0, kGifDataStart) + char(half) + gif.substr(kGifDataStart + 1, half) + std::string("\0;", 2);
}

std::string gif_without_data(const std::string& gif) { return gif.substr(0, kGifDataStart) + std::string("\0;", 2); }

void put_bytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    put(path, std::string(bytes.begin(), bytes.end()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const fs::path root = argv[1];
    const struct {
        const char* folder;
        const char* name;
        int mode;
        int colours;
    } saves[] = {
        {"bmp", "a1.bmp", imagefile::kBmp1, 2},   {"bmp", "a4.bmp", imagefile::kBmp4, 16},
        {"bmp", "a8.bmp", imagefile::kBmp8, 99},  {"bmp", "a16.bmp", imagefile::kBmp16, 500},
        {"bmp", "a24.bmp", imagefile::kBmp24, 500}, {"pnm", "a.pbm", imagefile::kPbm, 2},
        {"pnm", "a.pgm", imagefile::kPgm, 500},   {"pnm", "a.ppm", imagefile::kPpm, 500},
        {"tiff", "a1.tif", imagefile::kTiff1, 2}, {"tiff", "a8.tif", imagefile::kTiff8, 99},
        {"tiff", "a24.tif", imagefile::kTiff24, 500}, {"gif", "a.gif", imagefile::kGif, 99},
        {"png", "a8.png", imagefile::kPng8, 500}, {"png", "a24.png", imagefile::kPng24, 500},
        {"jpeg", "a.jpg", imagefile::kJpeg, 500},
    };
    for (const auto& save : saves) {
        fs::create_directories(root / save.folder);
        if (imagefile::save(picture(13, 7, save.colours), (root / save.folder / save.name).string(), save.mode) != 0) return 1;
    }
    put(root / "pnm" / "p1.pbm", "P1\n# plain\n3 2\n1 0 1\n0 1 0\n");
    put(root / "pnm" / "p2.pgm", "P2 2 2 15 0 5 10 15\n");
    put(root / "pnm" / "p3.ppm", "P3 2 1 255 255 0 0 0 0 255\n");
    put(root / "pnm" / "p6.ppm", std::string("P6 3 1 15\n\x21\x43\x65\x07\x08\x09", 16));
    fs::create_directories(root / "ico");
    put(root / "ico" / "a.ico", icon());
    put(root / "bmp" / "gap8.bmp", with_gap(contents(root / "bmp" / "a8.bmp"), 20));
    put(root / "bmp" / "gap24.bmp", with_gap(contents(root / "bmp" / "a24.bmp"), 3));
    put(root / "bmp" / "b565.bmp", bmp_565());
    const std::string gif = contents(root / "gif" / "a.gif");
    put(root / "gif" / "short.gif", gif_cut_short(gif));
    put(root / "gif" / "empty.gif", gif_without_data(gif));
    const std::vector<uint8_t> cmyk = {200, 100, 50, 128};
    put_bytes(root / "jpeg" / "cmyk.jpg", jpeg_fixture::jpeg_file(16, 8, JCS_CMYK, 4, cmyk, JCS_CMYK));
    put_bytes(root / "jpeg" / "cmyk-plain.jpg", jpeg_fixture::jpeg_file(16, 8, JCS_CMYK, 4, cmyk, JCS_CMYK, false));
    put_bytes(root / "jpeg" / "ycck.jpg", jpeg_fixture::jpeg_file(16, 8, JCS_CMYK, 4, cmyk, JCS_YCCK));
    return 0;
}
