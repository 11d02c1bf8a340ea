// The interactive main loop and the one run of a program file named on the command line.
#pragma once

#include <string>

class C_VMBAS;

// Stores a typed numbered line; false when the line is a direct command instead.
bool store_typed_line(C_VMBAS& vm, const std::string& typed);

// Interactive mode; with a program file name, that program loaded and run once
// instead. The exit status: 1 when the program could not be loaded or its run ended
// with an error report, else 0.
int main_loop(C_VMBAS& vm, const char* file_name);
