// CP932, the Shift-JIS of Windows: its two-byte codes both ways, read once from
// iconv's table.
#pragma once

namespace base {

inline bool is_shift_jis_lead(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

// The character of a lead and a trail byte, or U+FFFD when the pair names none.
char32_t cp932_pair(unsigned char lead, unsigned char trail);

// Whether CP932 writes the character as a lead and a trail byte.
bool has_cp932_pair(char32_t code);

}  // namespace base
