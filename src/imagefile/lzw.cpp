// The LZW coder and decoder of GIF image data.
#include "imagefile/lzw.h"

namespace imagefile {

LzwEncoder::LzwEncoder(Bytes& out) : out_(out) {
    clear_table();
    emit(kClearCode);
}

void LzwEncoder::clear_table() {
    for (Entry& entry : table_) entry.key = -1;
    next_code_ = kEndCode + 1;
    code_size_ = 9;
}

void LzwEncoder::put(uint8_t pixel) {
    if (prefix_ < 0) {
        prefix_ = pixel;
        return;
    }
    const int32_t key = (int32_t(pixel) << 12) + prefix_;
    int h = pixel << 4 ^ prefix_;
    if (table_[h].key == key) {
        prefix_ = table_[h].code;
        return;
    }
    if (table_[h].key != -1) {
        const int displacement = h == 0 ? 1 : kHashSize - h;
        do {
            h -= displacement;
            if (h < 0) h += kHashSize;
            if (table_[h].key == key) {
                prefix_ = table_[h].code;
                return;
            }
        } while (table_[h].key != -1);
    }
    emit(prefix_);
    prefix_ = pixel;
    if (next_code_ >= kMaxCodes) {
        emit(kClearCode);
        clear_table();
        return;
    }
    table_[h] = Entry{key, next_code_++};
    if (next_code_ > 1 << code_size_) ++code_size_;
}

void LzwEncoder::finish() {
    if (prefix_ >= 0) emit(prefix_);
    emit(kEndCode);
    block_[block_length_++] = uint8_t(bits_);
    if (bit_count_ > 8) block_[block_length_++] = uint8_t(bits_ >> 8);
    write_block();
    out_.push_back(0);
}

void LzwEncoder::emit(int code) {
    bits_ |= uint32_t(code) << bit_count_;
    bit_count_ += code_size_;
    while (bit_count_ >= 16) {
        block_[block_length_++] = uint8_t(bits_);
        block_[block_length_++] = uint8_t(bits_ >> 8);
        bits_ >>= 16;
        bit_count_ -= 16;
        if (block_length_ >= 254) write_block();
    }
}

void LzwEncoder::write_block() {
    if (block_length_ == 0) return;
    out_.push_back(uint8_t(block_length_));
    out_.insert(out_.end(), block_.begin(), block_.begin() + std::ptrdiff_t(block_length_));
    block_length_ = 0;
}

namespace {

class CodeReader {
public:
    explicit CodeReader(ByteSpan data) : data_(data) {}
    // The next code of `size` bits, least significant bit first; none at the end.
    std::optional<int> next(int size) {
        while (bit_count_ < size) {
            if (position_ >= data_.size()) return std::nullopt;
            bits_ |= uint32_t(data_[position_++]) << bit_count_;
            bit_count_ += 8;
        }
        const int code = int(bits_ & ((1u << size) - 1));
        bits_ >>= size;
        bit_count_ -= size;
        return code;
    }

private:
    ByteSpan data_;
    std::size_t position_ = 0;
    uint32_t bits_ = 0;
    int bit_count_ = 0;
};

constexpr int kMaxCodes = 4096;
constexpr int kMaxCodeSize = 12;

}  // namespace

std::optional<std::size_t> lzw_decode(ByteSpan data, int minimum_code_size, std::span<uint8_t> out) {
    if (minimum_code_size < 1 || minimum_code_size > 8) return std::nullopt;
    const int clear_code = 1 << minimum_code_size;
    const int end_code = clear_code + 1;
    std::array<uint16_t, kMaxCodes> prefix{};
    std::array<uint8_t, kMaxCodes> suffix{};
    std::array<uint8_t, kMaxCodes + 1> stack{};
    for (int code = 0; code < clear_code; ++code) suffix[std::size_t(code)] = uint8_t(code);

    CodeReader reader(data);
    int code_size = minimum_code_size + 1;
    int next_code = end_code + 1;
    int previous = -1;
    uint8_t first_pixel = 0;
    std::size_t written = 0;
    while (const auto read = reader.next(code_size)) {
        const int code = *read;
        if (code == clear_code) {
            code_size = minimum_code_size + 1;
            next_code = end_code + 1;
            previous = -1;
            continue;
        }
        if (code == end_code) break;
        if (code > next_code || (previous < 0 && code >= clear_code)) return std::nullopt;
        std::size_t depth = 0;
        int current = code;
        if (code == next_code) {
            // The string not yet in the table: the previous one and its own first pixel.
            stack[depth++] = first_pixel;
            current = previous;
        }
        while (current >= clear_code) {
            if (depth >= kMaxCodes) return std::nullopt;
            stack[depth++] = suffix[std::size_t(current)];
            current = prefix[std::size_t(current)];
        }
        stack[depth++] = uint8_t(current);
        first_pixel = uint8_t(current);
        while (depth > 0) {
            const uint8_t pixel = stack[--depth];
            if (written < out.size()) out[written++] = pixel;
        }
        if (previous >= 0 && next_code < kMaxCodes) {
            prefix[std::size_t(next_code)] = uint16_t(previous);
            suffix[std::size_t(next_code)] = first_pixel;
            ++next_code;
            if (next_code == 1 << code_size && code_size < kMaxCodeSize) ++code_size;
        }
        previous = code;
    }
    return written;
}

}  // namespace imagefile
