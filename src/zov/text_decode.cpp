// Decoding UTF-8 strictly, and Shift-JIS through iconv's CP932 table.
#include "zov/text_decode.h"

#include "base/char_width.h"
#include "base/cp932.h"

namespace zov {
namespace {

Character narrow(char32_t code) { return {code, 1}; }
Character sized(char32_t code) { return {code, base::drawn_cells(code)}; }

// The length and value of the UTF-8 sequence at the start of `text`, 0 when broken.
int utf8_sequence(std::string_view text, char32_t& code) {
    const auto lead = static_cast<unsigned char>(text[0]);
    const int length = lead < 0x80 ? 1 : lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
    if (length == 0 || text.size() < std::size_t(length)) return 0;
    code = length == 1 ? lead : lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte & 0xC0) != 0x80) return 0;
        code = code << 6 | (byte & 0x3F);
    }
    static constexpr char32_t shortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < shortest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

std::vector<Character> decode_utf8(std::string_view text) {
    std::vector<Character> characters;
    while (!text.empty()) {
        char32_t code = 0;
        const int length = utf8_sequence(text, code);
        characters.push_back(length ? sized(code) : narrow(replacement_character));
        text.remove_prefix(length ? length : 1);
    }
    return characters;
}

std::vector<Character> decode_shift_jis(std::string_view text) {
    std::vector<Character> characters;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (base::is_shift_jis_lead(byte) && i + 1 < text.size() && text[i + 1] != 0) {
            characters.push_back({base::cp932_pair(byte, static_cast<unsigned char>(text[++i])), 2});
        } else if (byte < 0x80) {
            characters.push_back(narrow(byte));
        } else if (byte >= 0xA1 && byte <= 0xDF) {
            characters.push_back(narrow(0xFF61 + (byte - 0xA1)));
        } else {
            characters.push_back(narrow(replacement_character));
        }
    }
    return characters;
}

}  // namespace


std::vector<Character> decode_text(std::string_view text, TextEncoding encoding) {
    return encoding == TextEncoding::ShiftJis ? decode_shift_jis(text) : decode_utf8(text);
}

}  // namespace zov
