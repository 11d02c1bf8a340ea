// libpng, opened by the first PNG file read or written rather than at start-up.
#pragma once
#include <png.h>

#include "base/shared_library.h"

namespace imagefile {

#define IMAGEFILE_PNG_FUNCTIONS(F)                                                                   \
    F(png_create_read_struct) F(png_create_write_struct) F(png_create_info_struct)                   \
    F(png_destroy_read_struct) F(png_destroy_write_struct) F(png_set_longjmp_fn) F(png_longjmp)      \
    F(png_error) F(png_get_io_ptr) F(png_set_read_fn) F(png_set_write_fn) F(png_set_crc_action)      \
    F(png_set_sig_bytes) F(png_read_info) F(png_get_image_width) F(png_get_image_height)             \
    F(png_get_color_type) F(png_get_bit_depth) F(png_set_palette_to_rgb) F(png_set_expand)           \
    F(png_set_strip_16) F(png_set_strip_alpha) F(png_set_gray_to_rgb) F(png_set_bgr)                 \
    F(png_set_interlace_handling) F(png_read_update_info) F(png_get_rowbytes) F(png_read_image)      \
    F(png_read_end) F(png_set_IHDR) F(png_write_info) F(png_write_image) F(png_write_end)

struct PngLibrary {
    IMAGEFILE_PNG_FUNCTIONS(ZOV_LIBRARY_FUNCTION)
};

// The functions of libpng16.so.16, opened by the first call; null when it cannot be
// opened or lacks one of them (said under ZOV_DEBUG).
const PngLibrary* png_library();

}  // namespace imagefile
