// libjpeg, opened by the first JPEG file read or written rather than at start-up.
#pragma once
#include <cstdio>

#include <jpeglib.h>

#include "base/shared_library.h"

namespace imagefile {

#define IMAGEFILE_JPEG_FUNCTIONS(F)                                                                  \
    F(jpeg_std_error) F(jpeg_CreateDecompress) F(jpeg_CreateCompress) F(jpeg_destroy_decompress)     \
    F(jpeg_destroy_compress) F(jpeg_mem_src) F(jpeg_read_header) F(jpeg_start_decompress)            \
    F(jpeg_read_scanlines) F(jpeg_finish_decompress) F(jpeg_set_defaults) F(jpeg_set_quality)        \
    F(jpeg_start_compress) F(jpeg_write_scanlines) F(jpeg_finish_compress)

struct JpegLibrary {
    IMAGEFILE_JPEG_FUNCTIONS(ZOV_LIBRARY_FUNCTION)
};

// The functions of libjpeg.so.62, opened by the first call; null when it cannot be
// opened or lacks one of them (said under ZOV_DEBUG).
const JpegLibrary* jpeg_library();

}  // namespace imagefile
