// What graph3d keeps from one graph to the next: the private bitmap each panel is
// drawn in, its two fonts (titles 24 pixels high, corner labels 16), and the function
// values of the last graph.
#pragma once
#include <optional>

#include "graphics/graph_cache.h"
#include "zov/font.h"
#include "zov/surface.h"

struct GraphWorkspace {
    zov::Surface bitmap;
    // Made by the first 3D graph: finding a face is not for every start-up.
    std::optional<zov::Font> title_font;
    std::optional<zov::Font> label_font;
    GraphCache cache;
};
