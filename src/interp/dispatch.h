// The statement dispatcher: recognises each statement's keyword straight from the
// text, runs it, steps over ":" and follows jumps by moving the position itself.
#pragma once
#include <string_view>
#include <vector>

class C_VMBAS;

// Returns 0 when the current line's text is exhausted or execution ended, -1 on
// failure; the position is left where execution stopped (for the caret).
[[nodiscard]] int exec_statements(C_VMBAS& vm, const char*& p);

// The keyword of the statement that begins at `p`, or an empty view for an assignment.
std::string_view statement_keyword_at(const char* p);

// The statements' keywords that are words ("?", "'" and "*" left out), for Tab completion.
std::vector<std::string_view> statement_keywords();
