// The statement dispatcher: recognises each statement's keyword straight from the
// text, runs it, steps over ":" and follows jumps by moving the position itself.
#pragma once

class C_VMBAS;

// Returns 0 when the current line's text is exhausted or execution ended, -1 on
// failure; the position is left where execution stopped (for the caret).
int exec_statements(C_VMBAS& vm, const char*& p);
