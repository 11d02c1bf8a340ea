// Line editing at a terminal through GNU readline: editing keys, a history of typed
// lines, and text offered as already typed (edit, auto).
#pragma once
#include <string>
#include <string_view>

enum class EditorResult { Line, Interrupted, EndOfInput };

// `row_so_far` is what is already shown on the cursor's row (a prompt), so that
// redrawing keeps it; `pretyped` appears as typed, ready to edit.
EditorResult edit_line(std::string_view row_so_far, std::string_view pretyped, std::string& line);
