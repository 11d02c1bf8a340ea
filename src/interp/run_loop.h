// The run loop: executes the program line after line and reports the first failure.
#pragma once

class C_VMBAS;

// Executes from the current line until execution ends or fails; prints the report.
// -1 when execution ended with a report, 0 otherwise (an error handler that took the
// failure included).
int run_program(C_VMBAS& vm);

// The message of a failure, or "エラー" for one that left none; the buffer is cleared.
void print_failure_message(C_VMBAS& vm);
