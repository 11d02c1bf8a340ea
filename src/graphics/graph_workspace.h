// What graph3d keeps from one graph to the next: the private bitmap each panel is
// drawn in, its two fonts (titles 24 pixels high, corner labels 16), and the function
// values of the last graph.
#pragma once
#include "graphics/graph_cache.h"
#include "zov/font.h"
#include "zov/surface.h"

struct GraphWorkspace {
    zov::Surface bitmap;
    zov::Font title_font;
    zov::Font label_font;
    bool fonts_sized = false;
    GraphCache cache;
};
