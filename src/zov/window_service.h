// The GUI thread that owns every SDL call: it creates, shows, moves and destroys the
// windows, repaints them from their backing stores and feeds their mouse counters.
// Other threads talk to it only through requests and the shared WindowState.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "zov/window_mouse.h"

namespace zov {

// What a window shares between the interpreter thread and the GUI thread.
struct WindowState {
    const int number;
    const bool headless;
    // Screen pixels a side per picture pixel.
    const int zoom;

    // The picture last handed over, in the surface's packed rows; guarded by `lock`.
    std::mutex lock;
    std::vector<uint8_t> backing;
    int backing_width = 0;
    int backing_height = 0;
    std::size_t backing_stride = 0;
    bool repaint_pending = false;

    std::atomic<bool> hidden{false};
    // The pointer in picture pixels and the physical buttons, polled by the GUI thread.
    std::atomic<int> pointer_x{0};
    std::atomic<int> pointer_y{0};
    std::atomic<bool> left_down{false};
    std::atomic<bool> right_down{false};
    MouseCounters mouse;

    WindowState(int n, bool no_display, int screen_zoom) : number(n), headless(no_display), zoom(screen_zoom) {}
};

enum class RequestKind { Resize, Show, Hide, Move, Activate, Repaint, Destroy, ActivateTerminal };

// SDL's limit on a window's side, in screen pixels.
inline constexpr int kLargestWindowSide = 16384;

// Creates a window of w x h picture pixels on the GUI thread (started on first use)
// and waits a bounded time for it; null with `failure` set when there is none.
std::shared_ptr<WindowState> service_open(int number, int width, int height, const std::string& title,
                                          std::string& failure);
// Queues a request; the GUI thread carries it out within one of its 10 ms turns.
void service_post(RequestKind kind, const std::shared_ptr<WindowState>& state, int a = 0, int b = 0);
// Queues the activation of the X window `window` (the terminal's); nothing when no
// window was ever shown, as none can have taken the focus then.
void service_activate_terminal(unsigned long window);
// Whether the display has gone: every window shown on it is closed for good.
bool service_display_lost();

}  // namespace zov
