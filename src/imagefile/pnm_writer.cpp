// PBM (P4), PGM (P5) and PPM (P6) files from a 24-bit bitmap, rows from the top down.
#include <cstdio>

#include "imagefile/formats.h"

namespace imagefile {

bool write_pnm(const Dib& dib, int format, Bytes& out) {
    if (dib.bits != 24 || format < 4 || format > 6) return false;
    char header[64];
    const int length = std::snprintf(header, sizeof header, format == 4 ? "P%d\n%d %d\n" : "P%d\n%d %d\n255\n", format,
                                     dib.width, dib.height);
    const std::size_t width = std::size_t(dib.width);
    const std::size_t row_bytes = format == 4 ? (width + 7) / 8 : format == 5 ? width : width * 3;
    out.assign(header, header + length);
    out.reserve(out.size() + row_bytes * std::size_t(dib.height));
    for (int y = 0; y < dib.height; ++y) {
        const uint8_t* pixel = dib.row(y);
        const std::size_t row_start = out.size();
        out.resize(row_start + row_bytes, 0);
        uint8_t* target = out.data() + row_start;
        for (std::size_t x = 0; x < width; ++x, pixel += 3) {
            const int gray = gray_of(pixel[2], pixel[1], pixel[0]);
            if (format == 4) {
                if (gray < 128) target[x / 8] = uint8_t(target[x / 8] | 0x80 >> (x % 8));
            } else if (format == 5) {
                target[x] = uint8_t(gray);
            } else {
                target[x * 3] = pixel[2];
                target[x * 3 + 1] = pixel[1];
                target[x * 3 + 2] = pixel[0];
            }
        }
    }
    return true;
}

}  // namespace imagefile
