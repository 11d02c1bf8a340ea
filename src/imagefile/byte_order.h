// Reading and writing the fixed-size numbers of image headers. The reader never looks
// past its data: a read beyond the end gives 0 and marks the reader failed, so a
// parser can read a whole header and check once.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace imagefile {

class ByteReader {
public:
    explicit ByteReader(std::span<const uint8_t> data, bool big_endian = false)
        : data_(data), big_endian_(big_endian) {}

    bool failed() const { return failed_; }
    std::size_t position() const { return position_; }
    std::size_t remaining() const { return data_.size() - position_; }
    void seek(std::size_t position) {
        if (position > data_.size()) failed_ = true;
        else position_ = position;
    }
    void skip(std::size_t count) {
        if (count > remaining()) failed_ = true;
        else position_ += count;
    }

    uint8_t u8() { return uint8_t(number(1)); }
    uint16_t u16() { return uint16_t(number(2)); }
    uint32_t u32() { return uint32_t(number(4)); }
    int32_t i32() { return int32_t(u32()); }

    // The next `count` bytes, or an empty span (and failure) when fewer are left.
    std::span<const uint8_t> take(std::size_t count) {
        if (count > remaining()) {
            failed_ = true;
            return {};
        }
        const auto taken = data_.subspan(position_, count);
        position_ += count;
        return taken;
    }

private:
    uint32_t number(int size) {
        if (std::size_t(size) > remaining()) {
            failed_ = true;
            position_ = data_.size();
            return 0;
        }
        uint32_t value = 0;
        for (int i = 0; i < size; ++i) {
            const uint32_t byte = data_[position_ + (big_endian_ ? i : size - 1 - i)];
            value = value << 8 | byte;
        }
        position_ += std::size_t(size);
        return value;
    }

    std::span<const uint8_t> data_;
    std::size_t position_ = 0;
    bool big_endian_;
    bool failed_ = false;
};

inline void put_u16le(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}

inline void put_u32le(std::vector<uint8_t>& out, uint32_t value) {
    put_u16le(out, value & 0xFFFF);
    put_u16le(out, value >> 16);
}

}  // namespace imagefile
