// The console line reader shared by the prompt and every statement that reads a
// whole line from the keyboard, with text offered as already typed.
#pragma once
#include <cstddef>
#include <string>

class C_VMBAS;

enum class LineRead { Ok, Interrupted, EndOfInput };

// Commands and answers to a program's questions keep separate histories.
enum class LineUse { Command, Answer };

// Reads one line into `buffer`, keeping at most size - 1 bytes (cut where a
// character ends). Text already in the buffer is offered as typed: with piped input
// the line read is appended to it.
LineRead read_console_line(C_VMBAS& vm, std::string& buffer, size_t size, LineUse use = LineUse::Command);
