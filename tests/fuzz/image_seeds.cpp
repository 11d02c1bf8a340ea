// Writes small files of every image format into the fuzz corpora, one folder per
// reader: DIR/bmp, DIR/pnm, DIR/ico, DIR/tiff, DIR/gif, DIR/png, DIR/jpeg.
// Usage: image_seeds DIR
#include <filesystem>
#include <fstream>
#include <string>

#include "imagefile/gfile.h"

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
    return 0;
}
