// The interactive main loop and the one run of a program file named on the command line.
#pragma once

class C_VMBAS;

// Interactive mode; with a program file name, that program loaded and run once
// instead. The exit status: 1 when the program could not be loaded or its run ended
// with an error report, else 0.
int main_loop(C_VMBAS& vm, const char* file_name);
