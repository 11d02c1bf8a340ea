// Program files named on the command line, beside the load, save and merge statements.
#pragma once
#include <string>

class C_VMBAS;

// Loads the program file `name` as it is named: ".bas" carries line numbers, ".vmb"
// none, and a script named otherwise ("#!" scripts often have no extension) carries
// them when its first line of program text begins with a digit.
[[nodiscard]] int load_program_file(C_VMBAS& vm, const std::string& name);
