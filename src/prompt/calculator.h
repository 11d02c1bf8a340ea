// The complex calculator: one expression a line, no statements.
#pragma once

class C_VMBAS;

// Evaluates one line and prints its value, the text left over, or the message ("エラー"
// for a failure without one); -1 when it printed no value. A blank line prints nothing.
int calc_print(C_VMBAS& vm, const char* line);

// The "-c" mode: banner, ":" prompt, until q, quit, end of input or Ctrl-C.
void calculator_mode(C_VMBAS& vm);
