// The built-in functions that read the interpreter's channels, console and record
// buffers: eof loc lpos pos peek varptr(#n), and the string functions input$ inkey$.
#pragma once

class C_VMBAS;

// Adds them to the interpreter's evaluation context, after the core built-ins.
void register_channel_functions(C_VMBAS& vm);
