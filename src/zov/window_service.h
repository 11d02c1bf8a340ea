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

    // The picture last handed over, in the surface's packed rows; guarded by `lock`.
    std::mutex lock;
    std::vector<uint8_t> backing;
    int backing_width = 0;
    int backing_height = 0;
    std::size_t backing_stride = 0;
    bool repaint_pending = false;

    std::atomic<bool> hidden{false};
    // The pointer in client pixels and the physical buttons, polled by the GUI thread.
    std::atomic<int> pointer_x{0};
    std::atomic<int> pointer_y{0};
    std::atomic<bool> left_down{false};
    std::atomic<bool> right_down{false};
    MouseCounters mouse;

    WindowState(int n, bool no_display) : number(n), headless(no_display) {}
};

enum class RequestKind { Resize, Show, Hide, Title, Move, Activate, Repaint, Destroy };

// Creates the window on the GUI thread (started on first use) and waits a bounded
// time for it; false with `failure` set when there is none.
bool service_open(const std::shared_ptr<WindowState>& state, int width, int height, const std::string& title,
                  std::string& failure);
// Queues a request; the GUI thread carries it out within one of its 10 ms turns.
void service_post(RequestKind kind, const std::shared_ptr<WindowState>& state, int a = 0, int b = 0,
                  std::string text = {});

}  // namespace zov
