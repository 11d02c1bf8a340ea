// Graphics windows where the user is. At a terminal without a display, the pictures
// of the headless windows are shown in the terminal itself at the points where the
// interpreter waits; a program run from the command line that leaves windows shown on
// a desktop keeps them until the user is done with them.
#pragma once

class C_VMBAS;

// Each headless window whose picture changed is shown once, in window-number order,
// when standard output is a terminal that can show pictures; a terminal that can
// show none is told once that windows are headless and gsave stores them.
void show_windows_in_terminal(C_VMBAS& vm);

// The end of a program run from the command line: the pictures are shown in the
// terminal as at a wait; windows shown on a desktop stay until the user closes the
// last one or presses Enter, when standard input is a terminal.
void windows_at_program_end(C_VMBAS& vm);
