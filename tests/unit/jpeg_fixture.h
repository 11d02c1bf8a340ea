// JPEG files made with libjpeg itself, as other programs write them, for the image
// tests and the fuzz seeds.
#pragma once
#include <cstdio>

#include <jpeglib.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace jpeg_fixture {

// A JPEG of one colour in the given colour space (1, 3 or 4 components), stored in
// libjpeg's default space for it or in `stored`, with or without Adobe's marker.
inline std::vector<uint8_t> jpeg_file(int width, int height, J_COLOR_SPACE space, int components,
                                      const std::vector<uint8_t>& pixel, J_COLOR_SPACE stored = JCS_UNKNOWN,
                                      bool adobe_marker = true) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    if (stored != JCS_UNKNOWN) jpeg_set_colorspace(&info, stored);
    info.write_Adobe_marker = adobe_marker && (space == JCS_CMYK);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row;
    for (int x = 0; x < width; ++x) row.insert(row.end(), pixel.begin(), pixel.end());
    while (info.next_scanline < info.image_height) {
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<uint8_t> out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

}  // namespace jpeg_fixture
