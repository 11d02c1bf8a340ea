// The run-length codes of 8-bit (RLE8) and 4-bit (RLE4) BMP files.
#pragma once
#include "imagefile/dib.h"

namespace imagefile {

// Expands `data` into the zeroed rows of `dib` (4 or 8 bits a pixel), bottom row
// first; pixels the code skips keep index 0. False when the data ends before the
// end-of-bitmap code.
bool expand_bmp_rle(ByteSpan data, Dib& dib);

}  // namespace imagefile
