// One panel of a 3D graph: drawn in the private bitmap (title, labelled cube, point
// cloud) and then copied into the window's surface.
#pragma once
#include <string_view>

#include "graphics/graph_geometry.h"
#include "graphics/graph_settings.h"
#include "zov/surface.h"

class C_VMBAS;
struct UserFunction;

struct Graph3dPanelJob {
    const UserFunction* function = nullptr;
    Graph3dType type = Graph3dType::Xy2z;
    GraphPanel panel;
    std::string_view label;  // UTF-8; empty for one-panel types
};

// 0, also when the panel is too big to draw or Ctrl-C stopped it half way (what was
// drawn is shown); -1 when the parameters cannot be bound.
int draw_graph3d_panel(C_VMBAS& vm, zov::Surface& target, const Graph3dSettings& settings, const Graph3dPanelJob& job);
