// The interactive main loop and the one run of a program file named on the command line.
#pragma once

class C_VMBAS;

// Interactive mode; with a program file name, "load ... : run" once instead.
void main_loop(C_VMBAS& vm, const char* file_name);
