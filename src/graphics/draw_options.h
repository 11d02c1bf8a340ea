// The option list of the drawing statements (",fill", ",dash", ",xor", ",bold") and the
// argument lists they share.
#pragma once
#include <cstdint>
#include <initializer_list>

struct EvalContext;

// ORs the bits of each option into `word`. A comma that starts no option keyword is
// left for the caller's syntax check; an unknown first letter fails with its message.
[[nodiscard]] int parse_draw_options(const char*& p, uint32_t& word);

// Integer arguments separated by commas; -1 (no message of its own) when one is missing.
[[nodiscard]] int parse_int_list(EvalContext& vm, const char*& p, std::initializer_list<int32_t*> values);

// The colour the drawing operations use: the low 24 bits.
inline uint32_t colour_of(int32_t rgb) { return static_cast<uint32_t>(rgb) & 0xFFFFFF; }
// As colour_of, except that -1 keeps its meaning (no colour: the background, no fill).
inline int32_t colour_or_none(int32_t rgb) { return rgb == -1 ? -1 : static_cast<int32_t>(colour_of(rgb)); }
