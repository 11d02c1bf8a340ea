// The run loop: executes the program line after line and reports the first failure.
#pragma once

class C_VMBAS;

// Executes from the current line until execution ends or fails; prints the report.
void run_program(C_VMBAS& vm);
