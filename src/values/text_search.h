// Where one string first lies in another: instr's search.
#pragma once
#include <cstddef>
#include <string_view>

// instr's answer: where `sought` first begins in `text`, counting from 1; 0 where it
// does not, or where `text` is empty.
size_t instr_position(std::string_view text, std::string_view sought);
