// Image files: loading a picture into a surface and saving a surface, in BMP, PNM,
// ICO, TIFF, GIF, PNG and JPEG. Both return 0, or -1 when they fail; the caller
// reports its own message, and the library only writes ZOV_DEBUG diagnostics.
#pragma once
#include <string>

#include "zov/surface.h"

namespace imagefile {

// Save mode words: the low 12 bits choose format and depth; kAppend opens for appending.
enum SaveMode : int {
    kBmp1 = 1,
    kBmp4 = 4,
    kBmp8 = 8,
    kBmp16 = 16,
    kBmp24 = 24,
    kJpeg = 280,
    kPbm = 513,
    kPgm = 520,
    kPpm = 536,
    kGif = 776,
    kTiff1 = 1025,
    kTiff8 = 1032,
    kTiff24 = 1048,
    kPng8 = 1288,
    kPng24 = 1304,
    kAppend = 0x1000,
};

// Reads the file (format by extension, else by trying each reader) and makes the
// surface the image's size with the image at (0, 0).
int load(zov::Surface& surface, const std::string& path);

// Writes the surface in the format and depth that `mode` selects.
int save(const zov::Surface& surface, const std::string& path, int mode);

}  // namespace imagefile
