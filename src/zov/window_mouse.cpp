// The mouse-event rules: presses count, a captured left press starts a drag whose
// displacement is added to the drag sums on release, and the wheel position saturates.
#include "zov/window_mouse.h"

#include <limits>

namespace zov {

namespace {

// x - drag, as the 32-bit arithmetic of the counters wraps.
int32_t wrapped_difference(int x, int32_t drag) { return int32_t(uint32_t(x) - uint32_t(drag)); }

void flip_drag(MouseCounters& mouse, int x, int y) {
    mouse.drag_x = wrapped_difference(x, mouse.drag_x);
    mouse.drag_y = wrapped_difference(y, mouse.drag_y);
}

}  // namespace

void MouseCounters::reset() {
    drag_x = 0;
    drag_y = 0;
    wheel_pos = 0;
    left_clicks = 0;
    right_clicks = 0;
    wheel_clicks = 0;
}

bool is_double_click(int clicks) { return clicks >= 2 && clicks % 2 == 0; }

void left_pressed(MouseCounters& mouse, bool& captured, int x, int y) {
    ++mouse.left_clicks;
    if (captured) return;
    captured = true;
    flip_drag(mouse, x, y);
    mouse.left_dragging = 1;
}

void left_released(MouseCounters& mouse, bool& captured, int x, int y) {
    if (!captured) return;
    captured = false;
    flip_drag(mouse, x, y);
    mouse.left_dragging = 0;
}

void right_pressed(MouseCounters& mouse) { ++mouse.right_clicks; }

void wheel_pressed(MouseCounters& mouse) { ++mouse.wheel_clicks; }

void wheel_turned(MouseCounters& mouse, int direction) {
    const int32_t position = mouse.wheel_pos;
    if (direction > 0 && position != std::numeric_limits<int32_t>::max()) mouse.wheel_pos = position + 1;
    if (direction < 0 && position != std::numeric_limits<int32_t>::min()) mouse.wheel_pos = position - 1;
}

int32_t drag_reading(const MouseCounters& mouse, int32_t pointer, const std::atomic<int32_t>& drag) {
    return mouse.left_dragging ? wrapped_difference(pointer, drag) : int32_t(drag);
}

}  // namespace zov
