// The graphics functions gmouse, gsizex, gsizey, gget, gcolor and the colour
// arithmetic of grgb, grgb2r, grgb2g, grgb2b. None of them fails: a window that is not
// usable gives 0.
#pragma once
#include <cstdint>
#include <string_view>

class C_VMBAS;

// Adds them to the interpreter's evaluation context, after the core built-ins.
void register_graphics_functions(C_VMBAS& vm);

int32_t gmouse_value(C_VMBAS& vm, std::string_view key);
int32_t gsize_value(C_VMBAS& vm, bool width);
int32_t gget_value(C_VMBAS& vm, int32_t x, int32_t y);
int32_t gcolor_value(std::string_view name);
