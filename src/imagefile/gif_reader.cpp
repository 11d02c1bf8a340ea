// GIF87a and GIF89a files: one chosen image of the file, with the local colour table
// when it has one, else the global one, interlaced or not. Extensions are skipped;
// transparency is ignored. An image without any colour table gets gray levels from
// black to white, one for each value its code size allows.
#include <algorithm>
#include <cstring>

#include "base/diagnostics.h"
#include "imagefile/byte_order.h"
#include "imagefile/formats.h"
#include "imagefile/lzw.h"

namespace imagefile {
namespace {

constexpr std::size_t kSignatureWindow = 256;
constexpr uint8_t kExtension = 0x21;
constexpr uint8_t kImage = 0x2C;
constexpr uint8_t kTrailer = 0x3B;

bool known_extension(uint8_t label) { return label == 0x01 || label == 0xF9 || label == 0xFE || label == 0xFF; }

std::optional<std::size_t> find_signature(ByteSpan file) {
    const std::size_t window = std::min(file.size(), kSignatureWindow);
    for (std::size_t i = 0; i + 3 <= window; ++i) {
        if (std::memcmp(file.data() + i, "GIF", 3) == 0) {
            if (i + 3 < file.size() && file[i + 3] == '8') return i;
            return std::nullopt;
        }
    }
    return std::nullopt;
}

std::optional<std::vector<Colour>> read_colour_table(ByteReader& in, uint8_t packed) {
    std::vector<Colour> table;
    if (!(packed & 0x80)) return table;
    const std::size_t entries = std::size_t(2) << (packed & 7);
    const auto bytes = in.take(entries * 3);
    if (in.failed()) return std::nullopt;
    for (std::size_t i = 0; i < entries; ++i) table.push_back(Colour{bytes[i * 3], bytes[i * 3 + 1], bytes[i * 3 + 2]});
    return table;
}

// The data sub-blocks up to the zero-length block, joined, or skipped when `data` is
// null; false when they run past the end of the file.
bool read_sub_blocks(ByteReader& in, Bytes* data) {
    for (;;) {
        const uint8_t length = in.u8();
        if (in.failed()) return false;
        if (length == 0) return true;
        const auto block = in.take(length);
        if (in.failed()) return false;
        if (data) data->insert(data->end(), block.begin(), block.end());
    }
}

// The display row of the n-th row in the file.
int display_row(int n, int height, bool interlaced) {
    if (!interlaced) return n;
    static constexpr int kStart[] = {0, 4, 2, 1};
    static constexpr int kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        const int rows = height > kStart[pass] ? (height - kStart[pass] + kStep[pass] - 1) / kStep[pass] : 0;
        if (n < rows) return kStart[pass] + n * kStep[pass];
        n -= rows;
    }
    return -1;
}

std::optional<Dib> decode_image(ByteReader& in, int screen_width, int screen_height, std::vector<Colour> colours) {
    const int left = in.u16();
    const int top = in.u16();
    const int width = in.u16();
    const int height = in.u16();
    const uint8_t packed = in.u8();
    if (in.failed() || left + width > screen_width || top + height > screen_height) return std::nullopt;
    auto local = read_colour_table(in, packed);
    if (!local) return std::nullopt;
    if (!local->empty()) colours = std::move(*local);
    const int minimum_code_size = in.u8();
    Bytes data;
    if (!read_sub_blocks(in, &data)) return std::nullopt;
    auto dib = Dib::make(width, height, 8);
    if (!dib) return std::nullopt;
    Bytes pixels(std::size_t(width) * std::size_t(height), 0);
    const auto decoded = lzw_decode(data, minimum_code_size, pixels);
    if (!decoded) {
        ZOV_REPORT("GIF データが無効");
        return std::nullopt;
    }
    // Image data that ends before the last pixel (an empty stream included) is a file
    // cut short, not a picture.
    if (*decoded < pixels.size()) {
        ZOV_REPORT("GIF データ不足");
        return std::nullopt;
    }
    const bool interlaced = packed & 0x40;
    for (int n = 0; n < height; ++n) {
        const uint8_t* source = pixels.data() + std::size_t(n) * std::size_t(width);
        std::memcpy(dib->row(display_row(n, height, interlaced)), source, std::size_t(width));
    }
    if (colours.empty()) {
        const int levels = 1 << minimum_code_size;
        for (int i = 0; i < levels; ++i) {
            const uint8_t level = uint8_t(i * 255 / (levels - 1));
            colours.push_back(Colour{level, level, level});
        }
    }
    dib->palette = std::move(colours);
    return dib;
}

}  // namespace

bool is_gif(ByteSpan head) { return find_signature(head).has_value(); }

std::optional<Dib> read_gif(ByteSpan file, int index) {
    const auto signature = find_signature(file);
    if (!signature) return std::nullopt;
    ByteReader in(file);
    in.seek(*signature + 6);
    const int screen_width = in.u16();
    const int screen_height = in.u16();
    const uint8_t packed = in.u8();
    in.skip(2);
    if (in.failed()) return std::nullopt;
    auto global = read_colour_table(in, packed);
    if (!global) return std::nullopt;
    for (int image = 0;;) {
        const uint8_t block = in.u8();
        if (in.failed() || block == kTrailer) break;
        if (block == kExtension) {
            const uint8_t label = in.u8();
            if (known_extension(label)) {
                if (!read_sub_blocks(in, nullptr)) break;
            } else if (!in.failed()) {
                in.seek(in.position() - 1);
            }
        } else if (block == kImage) {
            if (image++ == index) return decode_image(in, screen_width, screen_height, std::move(*global));
            in.skip(8);
            const uint8_t image_packed = in.u8();
            if (!read_colour_table(in, image_packed)) break;
            in.skip(1);
            if (!read_sub_blocks(in, nullptr)) break;
        }
    }
    ZOV_REPORT("GIF 画像がない");
    return std::nullopt;
}

}  // namespace imagefile
