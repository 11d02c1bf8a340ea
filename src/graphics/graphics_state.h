// The interpreter's graphics windows: ten slots of which 1 to 9 are used, the selected
// window, and the refresh that brings changed surfaces to the screen.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "io/attention.h"
#include "zov/font.h"
#include "zov/surface.h"
#include "zov/window.h"

class C_VMBAS;

// One graphics window: the window (null until first opened), its drawing surface and
// the surface's font (made by gopen: finding a face is not for every start-up).
struct C_GWIN {
    std::unique_ptr<zov::Window> window;
    zov::Surface surface;
    std::optional<zov::Font> font;
    bool changed = false;
    // For a viewer of pictures (window_pictures): drawn into since last viewed, and
    // the digest of the picture last viewed.
    bool drawn_since_viewed = false;
    bool viewed = false;
    size_t viewed_digest = 0;
    // The first tick at which a running program may copy the surface again: a large
    // surface whose copy takes d ms waits d ticks, so refreshing costs under a tenth.
    int64_t next_tick = 0;

    bool is_open() const { return window != nullptr; }
    void mark_changed() {
        changed = true;
        drawn_since_viewed = true;
    }
};

enum RefreshMode { REFRESH_MARK = 0, REFRESH_TICK = 1, REFRESH_ALL = 2 };

struct GraphicsState {
    std::array<C_GWIN, 10> windows;
    int32_t current_window = 0;
    // Started once a window is shown on a screen; headless windows need no refresh.
    attention::Waiting refresh;
    int refresh_index = 1;
    int64_t last_tick = 0;
    // The clock is read every 16th statement: statements take well under a
    // microsecond, so the 10 ms ticks still come on time.
    uint32_t statements_unclocked = 0;
    // A terminal that can show no picture has been told so.
    bool told_headless = false;
};

// The surface of window n, marked changed; null with the window check's message.
zov::Surface* gw_surface(C_VMBAS& vm, int32_t n);
void gw_refresh(C_VMBAS& vm, RefreshMode mode, int32_t n = 0);

// The refresh between statements, while a window is shown.
inline void refresh_tick(GraphicsState& graphics, C_VMBAS& vm) {
    if (graphics.refresh.active())
        gw_refresh(vm, REFRESH_TICK);
}
