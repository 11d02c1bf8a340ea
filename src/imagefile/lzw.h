// GIF's variable-length LZW code, both ways. The encoder writes the data sub-blocks of
// one 8-bit image (its table found through a 5003-entry hash); the decoder expands the
// joined sub-block data of one image.
#pragma once
#include <array>
#include <optional>
#include <span>

#include "imagefile/dib.h"

namespace imagefile {

class LzwEncoder {
public:
    // Starts the stream in `out` with a clear code; the minimum code size is 8.
    explicit LzwEncoder(Bytes& out);
    void put(uint8_t pixel);
    // Ends the stream: the last string, the end code, the last sub-block and the
    // zero-length block.
    void finish();

private:
    struct Entry {
        int32_t key = -1;
        int32_t code = 0;
    };
    static constexpr int kHashSize = 5003;
    static constexpr int kClearCode = 256;
    static constexpr int kEndCode = 257;
    static constexpr int kMaxCodes = 4096;

    void clear_table();
    void emit(int code);
    void write_block();

    Bytes& out_;
    std::array<Entry, kHashSize> table_;
    int code_size_ = 9;
    int next_code_ = kEndCode + 1;
    int prefix_ = -1;
    uint32_t bits_ = 0;
    int bit_count_ = 0;
    std::array<uint8_t, 256> block_{};
    std::size_t block_length_ = 0;
};

// Expands `data` into `out` (pixel indices in the order they come), stopping at the
// end code, at the end of the data, or when `out` is full (the rest is read and
// dropped). The number of pixels written, or none for a corrupt stream: a code not
// yet in the table, or a minimum code size outside 1-8.
std::optional<std::size_t> lzw_decode(ByteSpan data, int minimum_code_size, std::span<uint8_t> out);

}  // namespace imagefile
