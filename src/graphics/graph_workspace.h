// What graph3d keeps from one graph to the next: the private bitmap each panel is
// drawn in, that bitmap's font, and the function values of the last graph.
#pragma once
#include "graphics/graph_cache.h"
#include "zov/font.h"
#include "zov/surface.h"

struct GraphWorkspace {
    zov::Surface bitmap;
    zov::Font font;
    GraphCache cache;
};
