// TIFF files, uncompressed, from the first image file directory: 1, 2, 4 and 8 bits a
// pixel as gray or through a colour map, 24 and 32 bits as red, green, blue. The
// pixels are read as one run from the first strip on; bytes missing at the end of the
// file read as 0.
#include <algorithm>

#include "base/diagnostics.h"
#include "imagefile/byte_order.h"
#include "imagefile/formats.h"

namespace imagefile {
namespace {

enum Tag : uint16_t {
    kImageWidth = 256,
    kImageLength = 257,
    kBitsPerSample = 258,
    kCompression = 259,
    kStripOffsets = 273,
    kColorMap = 320,
};

constexpr uint32_t kUncompressed = 1;
constexpr uint32_t kUncompressedWordAligned = 32771;

struct Directory {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bits = 1;
    uint32_t compression = kUncompressed;
    std::optional<uint32_t> strip_offset;
    std::vector<Colour> colour_map;
};

// One directory entry: where its values are and how to read the k-th of them.
class Entry {
public:
    Entry(ByteReader& in, std::size_t entry_position) : in_(in) {
        in_.seek(entry_position);
        tag = in_.u16();
        type_ = in_.u16();
        count = in_.u32();
        // Values of up to 4 bytes stand in the entry itself, longer ones at an offset.
        values_ = entry_position + 8;
        if (uint64_t(value_size()) * count > 4) values_ = in_.u32();
    }

    // The k-th value as a number; 0 (and a failed reader) when it lies past the file.
    uint32_t value(uint32_t k) {
        in_.seek(values_ + std::size_t(k) * value_size());
        switch (type_) {
        case 1: return in_.u8();
        case 3: return in_.u16();
        default: return in_.u32();
        }
    }

    uint16_t tag = 0;
    uint32_t count = 0;

private:
    unsigned value_size() const { return type_ == 1 ? 1 : type_ == 3 ? 2 : 4; }

    ByteReader& in_;
    uint16_t type_ = 0;
    std::size_t values_ = 0;
};

void read_colour_map(Entry& entry, Directory& directory) {
    const uint32_t per_colour = entry.count / 3;
    const uint32_t used = std::min<uint32_t>(per_colour, 256);
    directory.colour_map.resize(used);
    for (uint32_t i = 0; i < used; ++i) {
        directory.colour_map[i] = Colour{uint8_t(entry.value(i) >> 8), uint8_t(entry.value(per_colour + i) >> 8),
                                         uint8_t(entry.value(2 * per_colour + i) >> 8)};
    }
}

std::optional<Directory> read_directory(ByteReader& in, uint32_t offset) {
    Directory directory;
    in.seek(offset);
    const uint16_t entries = in.u16();
    for (uint32_t i = 0; i < entries && !in.failed(); ++i) {
        Entry entry(in, std::size_t(offset) + 2 + std::size_t(i) * 12);
        switch (entry.tag) {
        case kImageWidth: directory.width = entry.value(0); break;
        case kImageLength: directory.height = entry.value(0); break;
        case kBitsPerSample:
            directory.bits = 0;
            for (uint32_t k = 0; k < std::min<uint32_t>(entry.count, 8); ++k) directory.bits += entry.value(k);
            break;
        case kCompression: directory.compression = entry.value(0); break;
        case kStripOffsets: directory.strip_offset = entry.value(0); break;
        case kColorMap: read_colour_map(entry, directory); break;
        default: break;
        }
    }
    if (in.failed()) return std::nullopt;
    return directory;
}

void read_pixels(ByteSpan file, const Directory& directory, Dib& dib) {
    const std::size_t start = *directory.strip_offset;
    const auto byte = [&](std::size_t i) -> uint32_t { return start + i < file.size() ? file[start + i] : 0; };
    const uint32_t bits = directory.bits;
    const std::size_t width = dib.width;
    const std::size_t row_bytes = (width * bits + 7) / 8;
    const bool indexed = bits == 1 || bits == 2 || bits == 4 || bits == 8;
    if (!indexed && bits != 24 && bits != 32) return;
    const uint32_t top = (1u << (indexed ? bits : 8)) - 1;
    for (int y = 0; y < dib.height; ++y) {
        const std::size_t row = std::size_t(y) * row_bytes;
        uint8_t* target = dib.row(y);
        for (std::size_t x = 0; x < width; ++x, target += 3) {
            if (!indexed) {
                const std::size_t pixel = row + x * (bits / 8);
                target[0] = uint8_t(byte(pixel + 2));
                target[1] = uint8_t(byte(pixel + 1));
                target[2] = uint8_t(byte(pixel));
                continue;
            }
            const std::size_t bit = x * bits;
            const uint32_t sample = byte(row + bit / 8) >> (8 - bits - bit % 8) & top;
            if (!directory.colour_map.empty()) {
                if (sample >= directory.colour_map.size()) continue;
                const Colour& colour = directory.colour_map[sample];
                target[0] = colour.blue;
                target[1] = colour.green;
                target[2] = colour.red;
            } else {
                target[0] = target[1] = target[2] = uint8_t(sample * 255 / top);
            }
        }
    }
}

}  // namespace

// The byte order's two letters and 42 in that order.
bool is_tiff(ByteSpan head) {
    if (head.size() < 4) return false;
    const bool little = head[0] == 'I' && head[1] == 'I' && head[2] == 42 && head[3] == 0;
    const bool big = head[0] == 'M' && head[1] == 'M' && head[2] == 0 && head[3] == 42;
    return little || big;
}

std::optional<Dib> read_tiff(ByteSpan file) {
    if (file.size() < 8 || !is_tiff(file)) return std::nullopt;
    ByteReader in(file, file[0] == 'M');
    in.skip(4);
    const uint32_t first_directory = in.u32();
    if (first_directory < 1) return std::nullopt;
    const auto directory = read_directory(in, first_directory);
    if (!directory || !directory->strip_offset) {
        ZOV_REPORT("TIFF ヘッダが無効");
        return std::nullopt;
    }
    if (directory->compression != kUncompressed && directory->compression != kUncompressedWordAligned) {
        ZOV_REPORT("TIFF 圧縮は未対応");
        return std::nullopt;
    }
    auto dib = Dib::make(directory->width, directory->height, 24);
    if (!dib) return std::nullopt;
    read_pixels(file, *directory, *dib);
    return dib;
}

}  // namespace imagefile
