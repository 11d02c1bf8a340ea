// GIF87a files of one 8-bit image with a 256-entry global colour table, the pixels
// coded from the top row down.
#include <string_view>

#include "base/diagnostics.h"
#include "imagefile/byte_order.h"
#include "imagefile/formats.h"
#include "imagefile/lzw.h"

namespace imagefile {

bool write_gif(const Dib& dib, Bytes& out) {
    if (dib.bits != 8 || dib.width > 0xFFFF || dib.height > 0xFFFF) {
        ZOV_REPORT("GIF にできない画像");
        return false;
    }
    constexpr std::string_view signature = "GIF87a";
    out.assign(signature.begin(), signature.end());
    put_u16le(out, uint32_t(dib.width));
    put_u16le(out, uint32_t(dib.height));
    out.push_back(0xF7);
    out.push_back(0);
    out.push_back(0);
    for (std::size_t i = 0; i < 256; ++i) {
        const Colour colour = i < dib.palette.size() ? dib.palette[i] : Colour{};
        out.insert(out.end(), {colour.red, colour.green, colour.blue});
    }
    out.push_back(',');
    put_u16le(out, 0);
    put_u16le(out, 0);
    put_u16le(out, uint32_t(dib.width));
    put_u16le(out, uint32_t(dib.height));
    out.push_back(0);
    out.push_back(8);
    LzwEncoder encoder(out);
    for (int y = 0; y < dib.height; ++y) {
        const uint8_t* row = dib.row(y);
        for (int x = 0; x < dib.width; ++x) encoder.put(row[x]);
    }
    encoder.finish();
    out.push_back(';');
    return true;
}

}  // namespace imagefile
