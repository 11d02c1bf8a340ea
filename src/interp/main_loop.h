// The interactive main loop and the one run of a program file named on the command line.
#pragma once

#include <string>

class C_VMBAS;

// Stores a typed numbered line; false when the line is a direct command instead.
bool store_typed_line(C_VMBAS& vm, const std::string& typed);

// Interactive mode; with a program file name, "load ... : run" once instead.
void main_loop(C_VMBAS& vm, const char* file_name);
