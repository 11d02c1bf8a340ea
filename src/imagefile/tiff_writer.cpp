// Uncompressed little-endian TIFF files of 1 bit (black is zero), 8 bits through a
// colour map, or 24 bits red-green-blue. A fixed area of 1812 bytes holds the header,
// the one image file directory and its values; the rows follow it, top row first.
#include "imagefile/byte_order.h"
#include "imagefile/formats.h"

namespace imagefile {
namespace {

constexpr std::size_t kHeaderArea = 1812;
constexpr uint32_t kDirectoryOffset = 8;
enum Type : uint16_t { kShort = 3, kLong = 4, kRational = 5 };

struct Field {
    uint16_t tag;
    uint16_t type;
    uint32_t count;
    uint32_t value;  // the value itself, or the offset of the values
};

}  // namespace

bool write_tiff(const Dib& dib, Bytes& out) {
    if (dib.bits != 1 && dib.bits != 8 && dib.bits != 24) return false;
    const bool colour = dib.bits == 24;
    const bool mapped = dib.bits == 8;
    const std::size_t row_bytes = (std::size_t(dib.width) * dib.bits + 7) / 8;
    const uint64_t image_bytes = uint64_t(row_bytes) * uint64_t(dib.height);
    if (image_bytes > 0xFFFFFFFFu - kHeaderArea) return false;

    const uint32_t field_count = mapped ? 15 : 14;
    const uint32_t values = kDirectoryOffset + 2 + field_count * 12 + 4;
    const uint32_t bits_values = values;
    const uint32_t x_resolution = bits_values + 6;
    const uint32_t y_resolution = x_resolution + 8;
    const uint32_t colour_map = y_resolution + 8;
    std::vector<Field> fields = {
        {254, kLong, 1, 0},
        {256, kLong, 1, uint32_t(dib.width)},
        {257, kLong, 1, uint32_t(dib.height)},
        {258, kShort, colour ? 3u : 1u, colour ? bits_values : uint32_t(dib.bits)},
        {259, kShort, 1, 1},
        {262, kShort, 1, colour ? 2u : mapped ? 3u : 1u},
        {273, kLong, 1, uint32_t(kHeaderArea)},
        {277, kShort, 1, colour ? 3u : 1u},
        {278, kLong, 1, uint32_t(dib.height)},
        {279, kLong, 1, uint32_t(image_bytes)},
        {282, kRational, 1, x_resolution},
        {283, kRational, 1, y_resolution},
        {284, kShort, 1, 1},
        {296, kShort, 1, 2},
    };
    if (mapped) fields.push_back({320, kShort, 3 * 256, colour_map});

    out.clear();
    out.reserve(kHeaderArea + std::size_t(image_bytes));
    out.insert(out.end(), {'I', 'I'});
    put_u16le(out, 42);
    put_u32le(out, kDirectoryOffset);
    put_u16le(out, field_count);
    for (const Field& field : fields) {
        put_u16le(out, field.tag);
        put_u16le(out, field.type);
        put_u32le(out, field.count);
        put_u32le(out, field.value);
    }
    put_u32le(out, 0);
    for (int i = 0; i < 3; ++i) put_u16le(out, 8);
    for (int i = 0; i < 2; ++i) {
        put_u32le(out, 72);
        put_u32le(out, 1);
    }
    if (mapped) {
        for (auto channel : {&Colour::red, &Colour::green, &Colour::blue})
            for (std::size_t i = 0; i < 256; ++i)
                put_u16le(out, i < dib.palette.size() ? dib.palette[i].*channel * 257u : 0u);
    }
    out.resize(kHeaderArea, 0);
    for (int y = 0; y < dib.height; ++y) {
        const uint8_t* row = dib.row(y);
        if (!colour) {
            out.insert(out.end(), row, row + row_bytes);
            continue;
        }
        for (std::size_t x = 0; x < std::size_t(dib.width); ++x, row += 3) out.insert(out.end(), {row[2], row[1], row[0]});
    }
    return true;
}

}  // namespace imagefile
