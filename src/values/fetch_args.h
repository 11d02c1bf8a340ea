// The common reader of built-in function calls: the name, "(", one argument per
// format character, ")"; every argument message comes from here.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <variant>

#include "values/c_str.h"
#include "values/complex.h"

struct EvalContext;

using ArgSlot = std::variant<std::monostate, Complex*, double*, int32_t*, int64_t*, C_STR*>;

// Formats: "c" complex, "d" real, "l" 32-bit integer, "L" 64-bit integer, "p" optional
// "#" then as "l", "s" string, "A" a variable (its storage address, as "L"). A "|"
// makes the arguments after it optional: the call may close with ")" there. Every
// argument is read once, so a call with optional arguments never reads one twice.
// Returns -1 without a message when the name or "(" does not match.
[[nodiscard]] int fetch_args(EvalContext& vm, const char*& p, std::string_view name, std::string_view format,
               std::initializer_list<ArgSlot> slots);
// fetch_args, also telling how many arguments the call gave.
[[nodiscard]] int fetch_args_counted(EvalContext& vm, const char*& p, std::string_view name, std::string_view format,
                       std::initializer_list<ArgSlot> slots, size_t& count);
