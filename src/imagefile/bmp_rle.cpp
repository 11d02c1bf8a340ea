// RLE8 and RLE4: pairs of a count and a pixel value (two alternating 4-bit values for
// RLE4), or after a zero count an escape: 0 ends the row, 1 ends the bitmap, 2 moves
// right and up by the next two bytes, and 3 or more copies that many pixels as they
// stand, padded to an even number of bytes. Pixels past the row's end are dropped.
#include "imagefile/bmp_rle.h"

#include "imagefile/byte_order.h"

namespace imagefile {
namespace {

class RowWriter {
public:
    explicit RowWriter(Dib& dib) : dib_(dib) {}

    // Pixel value `index` at the current position, which then moves one to the right.
    void put(unsigned index) {
        if (x_ < dib_.width && y_ < dib_.height) {
            uint8_t* row = dib_.pixels.data() + std::size_t(y_) * dib_.stride();
            if (dib_.bits == 8) {
                row[x_] = uint8_t(index);
            } else {
                const int shift = (x_ & 1) ? 0 : 4;
                row[x_ >> 1] = uint8_t((row[x_ >> 1] & ~(15 << shift)) | (index & 15) << shift);
            }
        }
        ++x_;
    }
    void next_row() {
        x_ = 0;
        ++y_;
    }
    void move(int dx, int dy) {
        x_ += dx;
        y_ += dy;
    }
    bool past_top() const { return y_ >= dib_.height; }

private:
    Dib& dib_;
    int x_ = 0;
    int y_ = 0;  // counted from the bottom row
};

}  // namespace

bool expand_bmp_rle(ByteSpan data, Dib& dib) {
    ByteReader in(data);
    RowWriter out(dib);
    const bool nibbles = dib.bits == 4;
    while (!out.past_top()) {
        const unsigned count = in.u8();
        const unsigned value = in.u8();
        if (in.failed()) return false;
        if (count > 0) {
            for (unsigned i = 0; i < count; ++i) out.put(nibbles ? (i % 2 ? value & 15 : value >> 4) : value);
            continue;
        }
        switch (value) {
        case 0: out.next_row(); break;
        case 1: return true;
        case 2: {
            const int dx = in.u8();
            const int dy = in.u8();
            out.move(dx, dy);
            break;
        }
        default: {
            const std::size_t bytes = nibbles ? (value + 1) / 2 : value;
            const auto literal = in.take(bytes + bytes % 2);
            if (in.failed()) return false;
            for (unsigned i = 0; i < value; ++i) {
                out.put(nibbles ? (i % 2 ? literal[i / 2] & 15 : literal[i / 2] >> 4) : literal[i]);
            }
            break;
        }
        }
    }
    return true;
}

}  // namespace imagefile
