// BMP files: the 14-byte file header in front of a packed DIB. The reader takes the
// palette as following the info header directly, as packed DIBs do, and the pixels
// from the offset the file header gives, which may leave a gap after the palette; it
// reads plain rows of every depth, bit-field masks, and run-length coded 4 and 8 bits.
#include <algorithm>
#include <array>
#include <bit>

#include "base/diagnostics.h"
#include "imagefile/bmp_rle.h"
#include "imagefile/byte_order.h"
#include "imagefile/formats.h"

namespace imagefile {
namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kPixelOffsetField = 10;
constexpr std::size_t kInfoHeaderBytes = 40;
constexpr std::size_t kCoreHeaderBytes = 12;
constexpr uint32_t kRgb = 0;
constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;
constexpr uint32_t kBitfields = 3;

struct Header {
    uint32_t header_bytes = 0;
    int64_t width = 0;
    int64_t height = 0;
    unsigned bits = 0;
    uint32_t compression = kRgb;
    uint32_t size_image = 0;
    uint32_t colours_used = 0;
    std::size_t palette_entry_bytes = 4;
    uint32_t masks[3] = {0, 0, 0};
};

// One channel of a 16- or 32-bit pixel through its mask, made 8 bits wide: a wider one
// keeps its top 8 bits, a narrower one repeats its bits below themselves (5 bits
// abcde give abcdeabc), so that its largest value gives 255, as other readers expand it.
class Channel {
public:
    explicit Channel(uint32_t mask)
        : mask_(mask), shift_(mask ? std::countr_zero(mask) : 0), width_(mask ? std::bit_width(mask >> shift_) : 0) {
        if (width_ == 0 || width_ > 8) return;
        for (uint32_t value = 0; value < 1u << width_; ++value) {
            uint32_t repeated = 0;
            int bits = 0;
            for (; bits < 8; bits += width_) repeated = repeated << width_ | value;
            levels_[value] = uint8_t(repeated >> (bits - 8));
        }
    }
    uint8_t operator()(uint32_t pixel) const {
        const uint32_t value = (pixel & mask_) >> shift_;
        return width_ > 8 ? uint8_t(value >> (width_ - 8)) : levels_[value];
    }

private:
    uint32_t mask_;
    int shift_;
    int width_;
    std::array<uint8_t, 256> levels_{};
};

std::optional<Header> read_header(ByteReader& in) {
    Header header;
    header.header_bytes = in.u32();
    if (header.header_bytes == kCoreHeaderBytes) {
        header.width = in.u16();
        header.height = in.u16();
        in.u16();
        header.bits = in.u16();
        header.palette_entry_bytes = 3;
    } else if (header.header_bytes >= kInfoHeaderBytes) {
        header.width = in.i32();
        header.height = in.i32();
        in.u16();
        header.bits = in.u16();
        header.compression = in.u32();
        header.size_image = in.u32();
        in.skip(8);
        header.colours_used = in.u32();
    } else {
        return std::nullopt;
    }
    // Later header versions hold the masks; the plain info header is followed by them.
    if (header.compression == kBitfields) {
        const bool inside = header.header_bytes >= kInfoHeaderBytes + 12;
        in.seek(inside ? kInfoHeaderBytes : header.header_bytes);
        for (uint32_t& mask : header.masks) mask = in.u32();
        if (inside) in.seek(header.header_bytes);
    } else {
        in.seek(header.header_bytes);
    }
    if (in.failed()) return std::nullopt;
    return header;
}

bool depth_supported(const Header& header) {
    switch (header.bits) {
    case 1: case 24: return header.compression == kRgb;
    case 4: return header.compression == kRgb || header.compression == kRle4;
    case 8: return header.compression == kRgb || header.compression == kRle8;
    case 16: case 32: return header.compression == kRgb || header.compression == kBitfields;
    default: return false;
    }
}

// `in` stands after the header (and its masks), at the palette; `data` is the pixel
// data from the file header's offset to the end of the file.
std::optional<Dib> read_indexed(ByteReader& in, ByteSpan data, const Header& header) {
    const std::size_t capacity = std::size_t(1) << header.bits;
    const uint64_t entries = header.colours_used ? header.colours_used : capacity;
    if (entries * header.palette_entry_bytes > in.remaining()) return std::nullopt;
    const auto palette = in.take(std::size_t(entries * header.palette_entry_bytes));
    auto dib = Dib::make(header.width, header.height, int(header.bits));
    if (!dib) return std::nullopt;
    for (std::size_t i = 0; i < std::min<uint64_t>(entries, capacity); ++i) {
        const uint8_t* entry = palette.data() + i * header.palette_entry_bytes;
        dib->palette.push_back(Colour{entry[2], entry[1], entry[0]});
    }
    if (header.compression != kRgb) {
        if (!expand_bmp_rle(data, *dib)) return std::nullopt;
        return dib;
    }
    if (data.size() < dib->pixels.size()) return std::nullopt;
    std::copy_n(data.begin(), dib->pixels.size(), dib->pixels.begin());
    return dib;
}

std::optional<Dib> read_direct(ByteSpan data, Header header) {
    if (header.compression == kRgb) {
        header.masks[0] = header.bits == 16 ? 0x7C00 : 0xFF0000;
        header.masks[1] = header.bits == 16 ? 0x03E0 : 0x00FF00;
        header.masks[2] = header.bits == 16 ? 0x001F : 0x0000FF;
    }
    auto dib = Dib::make(header.width, header.height, 24);
    if (!dib) return std::nullopt;
    const std::size_t stride = Dib::stride_for(dib->width, int(header.bits));
    if (data.size() / stride < std::size_t(dib->height)) return std::nullopt;
    const ByteSpan pixels = data.first(stride * std::size_t(dib->height));
    if (header.bits == 24) {
        std::copy(pixels.begin(), pixels.end(), dib->pixels.begin());
        return dib;
    }
    const Channel red(header.masks[0]), green(header.masks[1]), blue(header.masks[2]);
    const std::size_t bytes_per_pixel = header.bits / 8;
    for (int y = 0; y < dib->height; ++y) {
        const uint8_t* source = pixels.data() + std::size_t(dib->height - 1 - y) * stride;
        uint8_t* target = dib->row(y);
        for (int x = 0; x < dib->width; ++x, source += bytes_per_pixel, target += 3) {
            uint32_t pixel = 0;
            for (std::size_t i = bytes_per_pixel; i-- > 0;) pixel = pixel << 8 | source[i];
            target[0] = blue(pixel);
            target[1] = green(pixel);
            target[2] = red(pixel);
        }
    }
    return dib;
}

}  // namespace

bool is_bmp(ByteSpan head) { return head.size() >= 2 && head[0] == 'B' && head[1] == 'M'; }

std::optional<Dib> read_bmp(ByteSpan file) {
    if (!is_bmp(file) || file.size() < kFileHeaderBytes || file.size() - kFileHeaderBytes <= kInfoHeaderBytes) {
        return std::nullopt;
    }
    const uint32_t pixel_offset = ByteReader(file.subspan(kPixelOffsetField)).u32();
    const ByteSpan packed = file.subspan(kFileHeaderBytes);
    ByteReader in(packed);
    const auto header = read_header(in);
    // Top-down bitmaps (negative height) are refused, as are empty ones, and pixels
    // said to lie inside the headers or past the end of the file.
    if (!header || header->width < 1 || header->height < 1 || !depth_supported(*header) ||
        header->size_image > packed.size() - header->header_bytes || pixel_offset < kFileHeaderBytes + in.position() ||
        pixel_offset >= file.size()) {
        ZOV_REPORT("BMP ヘッダが無効");
        return std::nullopt;
    }
    const ByteSpan data = file.subspan(pixel_offset);
    auto dib = header->bits <= 8 ? read_indexed(in, data, *header) : read_direct(data, *header);
    if (!dib) ZOV_REPORT("BMP 読込み失敗");
    return dib;
}

bool write_bmp(const Dib& dib, Bytes& out) {
    const std::size_t palette_bytes = dib.bits <= 8 ? std::size_t(4) << dib.bits : 0;
    const std::size_t image_bytes = dib.pixels.size();
    const std::size_t packed_bytes = kInfoHeaderBytes + palette_bytes + image_bytes;
    if (packed_bytes + kFileHeaderBytes > 0xFFFFFFFFu) return false;
    out.clear();
    out.reserve(kFileHeaderBytes + packed_bytes);
    out.push_back('B');
    out.push_back('M');
    put_u32le(out, uint32_t(packed_bytes + kFileHeaderBytes));
    put_u32le(out, 0);
    put_u32le(out, uint32_t(packed_bytes - image_bytes + kFileHeaderBytes));
    put_u32le(out, kInfoHeaderBytes);
    put_u32le(out, uint32_t(dib.width));
    put_u32le(out, uint32_t(dib.height));
    put_u16le(out, 1);
    put_u16le(out, uint32_t(dib.bits));
    put_u32le(out, kRgb);
    put_u32le(out, uint32_t(image_bytes));
    for (int i = 0; i < 4; ++i) put_u32le(out, 0);
    for (std::size_t i = 0; i < palette_bytes / 4; ++i) {
        const Colour colour = i < dib.palette.size() ? dib.palette[i] : Colour{};
        out.insert(out.end(), {colour.blue, colour.green, colour.red, 0});
    }
    out.insert(out.end(), dib.pixels.begin(), dib.pixels.end());
    return true;
}

}  // namespace imagefile
