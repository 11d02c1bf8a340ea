// Splitting input items off a typed line (also data lines) or reading them from a
// channel, shared by input and read.
#pragma once
#include <string>

class C_VMBAS;

// Quoted, or up to ",", ":", "'" or the end; the position stays on the stopping character.
[[nodiscard]] int input_item_from_line(const char*& p, std::string& item);

// Skips NUL, tab, LF and blanks, then a quoted item or bytes up to "," or LF.
[[nodiscard]] int input_item_from_channel(C_VMBAS& vm, int channel, std::string& item);
