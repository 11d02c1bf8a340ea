// Valid UTF-8 out of any bytes, by the strict rules a JSON encoder holds text to (no
// overlong forms, no surrogates, nothing above U+10FFFF).
#include "kernel/utf8_stream.h"

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

int sequence_length(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// The range of the byte after `lead`; the bytes after it are 0x80 to 0xBF.
bool second_byte_fits(unsigned char lead, unsigned char byte) {
    switch (lead) {
        case 0xE0: return byte >= 0xA0 && byte <= 0xBF;
        case 0xED: return byte >= 0x80 && byte <= 0x9F;
        case 0xF0: return byte >= 0x90 && byte <= 0xBF;
        case 0xF4: return byte >= 0x80 && byte <= 0x8F;
        default: return byte >= 0x80 && byte <= 0xBF;
    }
}

enum class Sequence { Whole, Started, Broken };

// Whether the bytes from `at` on begin a valid character, or what is there of one.
Sequence sequence_at(std::string_view bytes, size_t at, int length) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    for (int k = 1; k < length; ++k) {
        if (at + static_cast<size_t>(k) >= bytes.size()) return Sequence::Started;
        const auto byte = static_cast<unsigned char>(bytes[at + static_cast<size_t>(k)]);
        if (k == 1 ? !second_byte_fits(lead, byte) : (byte & 0xC0) != 0x80) return Sequence::Broken;
    }
    return Sequence::Whole;
}

}  // namespace

std::string Utf8Stream::take(std::string_view bytes) {
    pending_.append(bytes);
    std::string text;
    size_t at = 0;
    while (at < pending_.size()) {
        const int length = sequence_length(static_cast<unsigned char>(pending_[at]));
        const Sequence sequence = length > 0 ? sequence_at(pending_, at, length) : Sequence::Broken;
        if (sequence == Sequence::Started) break;  // the rest may come with the next piece
        if (sequence == Sequence::Whole) {
            text.append(pending_, at, static_cast<size_t>(length));
            at += static_cast<size_t>(length);
        } else {
            text.append(kReplacement);
            ++at;
        }
    }
    pending_.erase(0, at);
    return text;
}

std::string Utf8Stream::finish() {
    std::string text;
    for (size_t k = 0; k < pending_.size(); ++k) text.append(kReplacement);
    pending_.clear();
    return text;
}

std::string valid_utf8(std::string_view bytes) {
    Utf8Stream stream;
    std::string text = stream.take(bytes);
    return text + stream.finish();
}
