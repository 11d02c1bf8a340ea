// The run loop and the interactive main loop.
#pragma once
#include <string>

class C_VMBAS;

// Executes from the current line until execution ends or fails; prints the report.
void run_program(C_VMBAS& vm);

// Interactive mode; with a program file name, "load ... : run" once instead.
void main_loop(C_VMBAS& vm, const char* file_name);
