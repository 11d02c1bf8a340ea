// The table of every lead and trail byte pair, converted by iconv when first needed.
// Without iconv's CP932 table every pair names no character.
#include "base/cp932.h"

#include <iconv.h>

#include <array>
#include <bitset>

namespace base {
namespace {

constexpr char32_t kNone = 0xFFFD;
constexpr unsigned kLeads = 0xFD - 0x80;

struct Table {
    std::array<std::array<char32_t, 256>, kLeads> pairs;
    // Every CP932 character lies in the Basic Multilingual Plane.
    std::bitset<0x10000> coded;
};

char32_t convert(iconv_t converter, unsigned char lead, unsigned char trail) {
    char in[2] = {char(lead), char(trail)};
    unsigned char out[8] = {};
    char* in_at = in;
    char* out_at = reinterpret_cast<char*>(out);
    std::size_t in_left = sizeof in, out_left = sizeof out;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    if (iconv(converter, &in_at, &in_left, &out_at, &out_left) == std::size_t(-1) || out_left != 4) return kNone;
    return char32_t(out[0]) | char32_t(out[1]) << 8 | char32_t(out[2]) << 16 | char32_t(out[3]) << 24;
}

Table make_table() {
    Table table;
    for (auto& row : table.pairs) row.fill(kNone);
    const iconv_t converter = iconv_open("UTF-32LE", "CP932");
    if (converter == iconv_t(-1)) return table;
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (!is_shift_jis_lead(uint8_t(lead))) continue;
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            const char32_t code = convert(converter, uint8_t(lead), uint8_t(trail));
            table.pairs[lead - 0x80][trail] = code;
            if (code != kNone && code < table.coded.size()) table.coded.set(code);
        }
    }
    iconv_close(converter);
    return table;
}

const Table& table() {
    static const Table built = make_table();
    return built;
}

}  // namespace

char32_t cp932_pair(unsigned char lead, unsigned char trail) {
    return is_shift_jis_lead(lead) ? table().pairs[lead - 0x80][trail] : kNone;
}

bool has_cp932_pair(char32_t code) { return code < table().coded.size() && table().coded.test(code); }

}  // namespace base
