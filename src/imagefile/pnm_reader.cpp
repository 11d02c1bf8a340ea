// PBM, PGM and PPM files, plain (P1-P3) and raw (P4-P6), read into 24-bit bitmaps.
// Comments may stand wherever blanks may, except inside raw data.
// Raw files with 15 as their maximum value pack two pixels into each byte (PGM) or
// each group of three bytes (PPM), low nibbles first.
#include <algorithm>

#include "base/diagnostics.h"
#include "imagefile/formats.h"

namespace imagefile {
namespace {

constexpr int kMaxSide = 9999;
constexpr int kMaxPlainValue = 9999;
// Larger samples than the maximum value are taken as the maximum.
constexpr int kMaxSample = 999999;

bool is_blank(uint8_t c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

class Scanner {
public:
    explicit Scanner(ByteSpan data) : data_(data) {}

    bool at_end() const { return position_ >= data_.size(); }
    uint8_t peek() const { return at_end() ? 0 : data_[position_]; }
    uint8_t next() { return at_end() ? 0 : data_[position_++]; }
    std::size_t position() const { return position_; }

    // Blanks, line ends, and "#" comments to the end of their line.
    void skip_blanks() {
        while (!at_end()) {
            if (is_blank(peek())) {
                ++position_;
            } else if (peek() == '#') {
                while (!at_end() && peek() != '\n') ++position_;
            } else {
                break;
            }
        }
    }

    // A decimal number of at most `limit`, after blanks; none for anything else.
    std::optional<int> number(int limit) {
        skip_blanks();
        if (at_end() || peek() < '0' || peek() > '9') return std::nullopt;
        int64_t value = 0;
        while (!at_end() && peek() >= '0' && peek() <= '9') {
            value = value * 10 + (next() - '0');
            if (value > limit) return std::nullopt;
        }
        return int(value);
    }

private:
    ByteSpan data_;
    std::size_t position_ = 0;
};

struct Header {
    int kind = 0;
    int width = 0;
    int height = 0;
    int maximum = 1;
};

// "P" (either case) and the digit 1-6 that names the kind, after blanks and comments.
std::optional<int> read_kind(Scanner& in) {
    in.skip_blanks();
    const uint8_t magic = in.next();
    const uint8_t kind = in.next();
    if ((magic != 'P' && magic != 'p') || kind < '1' || kind > '6') return std::nullopt;
    return kind - '0';
}

std::optional<Header> read_header(Scanner& in) {
    Header header;
    const auto kind = read_kind(in);
    if (!kind) return std::nullopt;
    header.kind = *kind;
    const auto width = in.number(kMaxSide);
    const auto height = in.number(kMaxSide);
    if (!width || !height || *width < 1 || *height < 1) return std::nullopt;
    header.width = *width;
    header.height = *height;
    if (header.kind == 1 || header.kind == 4) return header;
    const auto maximum = in.number(header.kind <= 3 ? kMaxPlainValue : 255);
    if (!maximum || *maximum < 1 || (header.kind > 3 && *maximum != 255 && *maximum != 15)) return std::nullopt;
    header.maximum = *maximum;
    return header;
}

void put_pixel(Dib& dib, int x, int y, int red, int green, int blue) {
    uint8_t* pixel = dib.row(y) + std::size_t(x) * 3;
    pixel[0] = uint8_t(blue);
    pixel[1] = uint8_t(green);
    pixel[2] = uint8_t(red);
}

int scaled(int value, int maximum) { return std::min(value * 255 / maximum, 255); }

bool read_plain(Scanner& in, const Header& header, Dib& dib) {
    for (int y = 0; y < dib.height; ++y) {
        for (int x = 0; x < dib.width; ++x) {
            if (header.kind == 1) {
                in.skip_blanks();
                const uint8_t c = in.next();
                if (c != '0' && c != '1') return false;
                const int level = c == '1' ? 0 : 255;
                put_pixel(dib, x, y, level, level, level);
                continue;
            }
            const int samples = header.kind == 2 ? 1 : 3;
            int value[3];
            for (int i = 0; i < samples; ++i) {
                const auto sample = in.number(kMaxSample);
                if (!sample) return false;
                value[i] = scaled(*sample, header.maximum);
            }
            if (samples == 1) put_pixel(dib, x, y, value[0], value[0], value[0]);
            else put_pixel(dib, x, y, value[0], value[1], value[2]);
        }
    }
    return true;
}

// Raw data from `start`. Bytes past the end of the file give black pixels: all bits
// set in a PBM, where a 1 bit is black, and 0 in the others.
void read_raw(ByteSpan file, std::size_t start, const Header& header, Dib& dib) {
    const int missing = header.kind == 4 ? 0xFF : 0;
    const auto byte = [&](std::size_t i) -> int { return start + i < file.size() ? file[start + i] : missing; };
    const std::size_t width = std::size_t(dib.width);
    const bool nibbles = header.maximum == 15;
    std::size_t row_bytes = 0;
    switch (header.kind) {
    case 4: row_bytes = (width + 7) / 8; break;
    case 5: row_bytes = nibbles ? (width + 1) / 2 : width; break;
    default: row_bytes = nibbles ? (width + 1) / 2 * 3 : width * 3; break;
    }
    for (int y = 0; y < dib.height; ++y) {
        const std::size_t row = std::size_t(y) * row_bytes;
        for (std::size_t x = 0; x < width; ++x) {
            const int ix = int(x);
            if (header.kind == 4) {
                const int level = (byte(row + x / 8) >> (7 - x % 8) & 1) ? 0 : 255;
                put_pixel(dib, ix, y, level, level, level);
            } else if (header.kind == 5) {
                const int level = nibbles ? (byte(row + x / 2) >> (x % 2 * 4) & 15) * 17 : byte(row + x);
                put_pixel(dib, ix, y, level, level, level);
            } else if (nibbles) {
                const std::size_t group = row + x / 2 * 3;
                const int shift = int(x % 2 * 4);
                put_pixel(dib, ix, y, (byte(group) >> shift & 15) * 17, (byte(group + 1) >> shift & 15) * 17,
                          (byte(group + 2) >> shift & 15) * 17);
            } else {
                put_pixel(dib, ix, y, byte(row + x * 3), byte(row + x * 3 + 1), byte(row + x * 3 + 2));
            }
        }
    }
}

}  // namespace

bool is_pnm(ByteSpan head) {
    Scanner in(head);
    return read_kind(in).has_value();
}

std::optional<Dib> read_pnm(ByteSpan file) {
    Scanner in(file);
    const auto header = read_header(in);
    if (!header) return std::nullopt;
    // Each plain sample takes a character at least: a file too short for all of them
    // fails before the picture is made.
    const uint64_t samples = uint64_t(header->width) * uint64_t(header->height) * (header->kind == 3 ? 3 : 1);
    if (header->kind <= 3 && file.size() - in.position() < samples) {
        ZOV_REPORT("PNM データ不足");
        return std::nullopt;
    }
    auto dib = Dib::make(header->width, header->height, 24);
    if (!dib) return std::nullopt;
    if (header->kind <= 3) {
        if (!read_plain(in, *header, *dib)) {
            ZOV_REPORT("PNM データ不足");
            return std::nullopt;
        }
    } else {
        // One blank byte ends the header.
        read_raw(file, in.position() + 1, *header, *dib);
    }
    return dib;
}

}  // namespace imagefile
