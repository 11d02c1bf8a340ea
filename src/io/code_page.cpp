// Code page detection, UTF-8 character widths at the terminal and on paper, and
// conversion of fixed texts.
#include "io/code_page.h"

#include <iconv.h>
#include <langinfo.h>

#include <clocale>
#include <cstring>
#include <span>

#include "base/char_width.h"
#include "base/cp932.h"
#include "io/console_state.h"

namespace {

// The locale is the process's.
CodePage detected = CodePage::Utf8;

struct Range {
    char32_t first, last;
};

// Combining marks, joiners and variation selectors: drawn over the character before.
constexpr Range kZeroWidthRanges[] = {
    {0x0300, 0x036F},  {0x0483, 0x0489},  {0x0591, 0x05BD},  {0x0610, 0x061A}, {0x064B, 0x065F},
    {0x0E31, 0x0E31},  {0x0E34, 0x0E3A},  {0x0E47, 0x0E4E},  {0x1AB0, 0x1AFF}, {0x1DC0, 0x1DFF},
    {0x200B, 0x200F},  {0x20D0, 0x20FF},  {0x302A, 0x302D},  {0x3099, 0x309A}, {0xFE00, 0xFE0F},
    {0xFE20, 0xFE2F},  {0xE0100, 0xE01EF},
};

bool in_ranges(char32_t code, std::span<const Range> ranges) {
    for (const Range& range : ranges)
        if (code >= range.first && code <= range.last) return true;
    return false;
}

char32_t decode(const unsigned char* bytes, int length) {
    char32_t code = bytes[0] & (0x7F >> length);
    for (int i = 1; i < length; ++i) code = (code << 6) | (bytes[i] & 0x3F);
    return code;
}

}  // namespace

void detect_console_code_page() {
    std::setlocale(LC_CTYPE, "");
    const char* codeset = nl_langinfo(CODESET);
    const bool shift_jis = codeset && (std::strcmp(codeset, "SHIFT_JIS") == 0 || std::strcmp(codeset, "SJIS") == 0 ||
                                       std::strcmp(codeset, "CP932") == 0 || std::strcmp(codeset, "WINDOWS-31J") == 0);
    detected = shift_jis ? CodePage::ShiftJis : CodePage::Utf8;
    console().code_page = detected;
    // Under a locale of single bytes (LANG=C) the line editor must still edit whole
    // UTF-8 characters, as the interpreter reads them.
    if (!shift_jis && (!codeset || std::strcmp(codeset, "UTF-8") != 0)) std::setlocale(LC_CTYPE, "C.UTF-8");
}

CodePage locale_code_page() { return detected; }
CodePage console_code_page() { return console().code_page; }
void set_console_code_page(CodePage page) { console().code_page = page; }

std::string to_console_text(std::string_view utf8) {
    if (console_code_page() == CodePage::Utf8) return std::string(utf8);
    iconv_t converter = iconv_open("CP932", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1)) return std::string(utf8);
    std::string out(utf8.size() * 2 + 4, '\0');
    char* in_ptr = const_cast<char*>(utf8.data());
    size_t in_left = utf8.size();
    char* out_ptr = out.data();
    size_t out_left = out.size();
    while (in_left > 0 && iconv(converter, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<size_t>(-1)) {
        if (out_left == 0) break;
        *out_ptr++ = '?';  // a character the code page lacks
        --out_left;
        ++in_ptr;
        --in_left;
    }
    iconv_close(converter);
    out.resize(out.size() - out_left);
    return out;
}

int utf8_sequence_length(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

int utf8_display_width(const unsigned char* bytes, int length) {
    const char32_t code = decode(bytes, length);
    if (in_ranges(code, kZeroWidthRanges)) return 0;
    return base::is_wide(code) ? 2 : 1;
}

int utf8_printed_width(const unsigned char* bytes, int length) {
    const char32_t code = decode(bytes, length);
    return in_ranges(code, kZeroWidthRanges) ? 0 : base::drawn_cells(code);
}

bool is_valid_utf8(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        const int length = utf8_sequence_length(lead);
        if (length == 0 || i + static_cast<size_t>(length) > bytes.size()) return false;
        for (int k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(bytes[i + static_cast<size_t>(k)]) & 0xC0) != 0x80) return false;
        i += static_cast<size_t>(length);
    }
    return true;
}

bool cp932_to_utf8(std::string_view cp932, std::string& utf8) {
    iconv_t converter = iconv_open("UTF-8", "CP932");
    if (converter == reinterpret_cast<iconv_t>(-1)) return false;
    std::string out(cp932.size() * 3 + 4, '\0');
    char* in_ptr = const_cast<char*>(cp932.data());
    size_t in_left = cp932.size();
    char* out_ptr = out.data();
    size_t out_left = out.size();
    const bool ok = iconv(converter, &in_ptr, &in_left, &out_ptr, &out_left) != static_cast<size_t>(-1);
    iconv_close(converter);
    if (!ok) return false;
    out.resize(out.size() - out_left);
    utf8 = std::move(out);
    return true;
}

namespace {

// Where a byte that is not part of a UTF-8 character leaves the cursor, as the console
// writer shows it: a TAB fills to the next stop of 8, other control bytes show as "^A".
int column_after_byte(unsigned char byte, int column) {
    switch (byte) {
        case 0:
        case 7: return column;
        case 8: return column > 0 ? column - 1 : 0;
        case 9: return (column / 8 + 1) * 8;
        case 10:
        case 13: return 0;
        default: return column + (byte < 32 ? 2 : 1);
    }
}

// The length of the UTF-8 character at `i`, or 0 when no whole one starts there.
size_t utf8_character_at(std::string_view text, size_t i) {
    const auto length = static_cast<size_t>(utf8_sequence_length(static_cast<unsigned char>(text[i])));
    if (length == 0 || i + length > text.size() || !is_valid_utf8(text.substr(i, length))) return 0;
    return length;
}

}  // namespace

int console_column_after(std::string_view text, int column) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const bool utf8 = console_code_page() == CodePage::Utf8;
    for (size_t i = 0; i < text.size();) {
        const size_t length = utf8 ? utf8_character_at(text, i) : 0;
        if (length > 0) {
            column += utf8_display_width(bytes + i, static_cast<int>(length));
            i += length;
        } else {
            column = column_after_byte(bytes[i], column);
            ++i;
        }
    }
    return column;
}

size_t character_boundary(std::string_view text, size_t limit) {
    if (text.size() <= limit) return text.size();
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    size_t i = 0;
    while (i < limit) {
        size_t length = 1;
        if (console_code_page() == CodePage::ShiftJis)
            length = base::is_shift_jis_lead(bytes[i]) && i + 1 < text.size() ? 2 : 1;
        else if (const size_t character = utf8_character_at(text, i); character > 0)
            length = character;
        if (i + length > limit) break;
        i += length;
    }
    return i;
}
