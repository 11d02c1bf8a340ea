// The surface rendered as a packed DIB of the depth a writer needs: 24 bits as they
// are, 16 bits as 5-5-5, 1 bit black and white by gray level, and 4 or 8 bits through
// a palette. For 8 bits a surface's own colour table gives the palette, each pixel
// taking the nearest entry; a picture with few enough colours keeps them exactly;
// anything else gets a fixed palette (6 x 7 x 6 colour cube for 8 bits, the 16
// classic display colours for 4 bits) and each pixel its nearest entry.
#pragma once
#include "imagefile/dib.h"
#include "zov/surface.h"

namespace imagefile {

// bits is 1, 4, 8, 16 or 24. Throws std::bad_alloc when memory is short.
Dib render(const zov::Surface& surface, int bits);

}  // namespace imagefile
