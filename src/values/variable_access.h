// Finding a variable or array element named at a text position, creating scalars on
// first mention, with the subscript rules of arrays.
#pragma once
#include <string_view>

#include "values/c_str.h"
#include "values/complex.h"

struct EvalContext;
struct PCVAR;

struct VarRef {
    PCVAR* record = nullptr;
    int type = VT_NONE;
    Complex* number = nullptr;  // set for types 1-3
    C_STR* string = nullptr;    // set for type 4
};

enum class VarKind { Numeric, String };

// Reads a name (with subscripts) of the wanted kind. A name of the other kind, or none,
// fails without a message; subscript errors fail with theirs.
[[nodiscard]] int get_var(EvalContext& vm, const char*& p, VarKind kind, VarRef& ref);

// get_var for a name already scanned; the position stands just after the name.
[[nodiscard]] int get_scanned_var(EvalContext& vm, std::string_view name, int type, const char*& p, VarRef& ref);

C_STR* get_string_var(EvalContext& vm, const char*& p);

// Stores a value into a numeric target through its type (integers truncate).
void store_number(const VarRef& ref, Complex value);

// Stores text into the variable named at the position: strings as they are, numbers
// parsed as complex text (anything unparsable gives 0). Used by input and read.
[[nodiscard]] int assign_from_text(EvalContext& vm, const char*& p, std::string_view text);

// The storage of an existing variable named at the position (its text or its value),
// or null when there is no such variable.
const void* variable_storage_address(EvalContext& vm, const char*& p);
