// The parts that graph2d and graph3d parse alike: a range "a,b", an angle, and the
// drawing form  type,FNx[,x0,y0,xw,yw]  with the window check before it.
#pragma once
#include <string>
#include <string_view>

#include "graphics/graph_geometry.h"
#include "graphics/graph_settings.h"
#include "zov/font.h"
#include "zov/surface.h"

class C_VMBAS;
struct UserFunction;

// Colours of the graphs.
inline constexpr uint32_t kGraphWhite = 0xFFFFFF;
inline constexpr uint32_t kGraphBlack = 0x000000;
inline constexpr uint32_t kGraphBlue = 0xFF0000;

struct GraphRequest {
    zov::Surface* surface = nullptr;
    const zov::Font* font = nullptr;
    std::string type;
    const UserFunction* function = nullptr;
    PixelArea area;  // the whole surface unless given
};

// Every fault reports `usage`, unless the window check or the evaluator spoke first.
[[nodiscard]] int parse_graph_request(C_VMBAS& vm, const char*& p, std::string_view usage, GraphRequest& request);
// Two real parts separated by a comma; the range changes only when both are read.
[[nodiscard]] int parse_graph_range(C_VMBAS& vm, const char*& p, std::string_view usage, GraphRange& range);
[[nodiscard]] int parse_graph_angle(C_VMBAS& vm, const char*& p, std::string_view usage, double& angle);

// Text as the surface's font lays it out: fixed texts are converted to the console
// code page, like the function bodies they are joined with.
zov::TextEncoding graph_text_encoding();
std::string graph_text(std::string_view utf8);
// Draws black text without a background; a position beyond 32 bits is off every
// surface and draws nothing.
void draw_graph_label(zov::Surface& surface, const zov::Font& font, PixelPoint at, std::string_view text);
int64_t graph_label_cells(std::string_view text);
// "%g" of a range value.
std::string graph_number_label(std::string_view prefix, double value);
