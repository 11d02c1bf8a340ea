// peek and poke reach only memory that varptr hands out: the storage of live
// variables and the record buffers of channels. Any other address is refused, so no
// program can read or damage the interpreter's own memory.
#pragma once
#include <cstdint>

class C_VMBAS;

// The byte at `address`, or -1 when the address lies outside that memory.
int peek_byte(C_VMBAS& vm, int64_t address);
bool poke_byte(C_VMBAS& vm, int64_t address, uint8_t value);
