// The mouse counters of a window and the rules by which its button and wheel events
// change them. Events arrive on the GUI thread while the interpreter reads and resets
// the counters, so every counter is atomic.
#pragma once
#include <atomic>
#include <cstdint>

namespace zov {

struct MouseCounters {
    // While the left button is held: the press position; otherwise the sum of all
    // drag displacements since the last reset.
    std::atomic<int32_t> drag_x{0};
    std::atomic<int32_t> drag_y{0};
    std::atomic<int32_t> wheel_pos{0};
    std::atomic<int32_t> left_clicks{0};
    std::atomic<int32_t> right_clicks{0};
    std::atomic<int32_t> wheel_clicks{0};
    std::atomic<int32_t> left_dragging{0};

    // Zeroes everything but left_dragging.
    void reset();
};

// The window system numbers the presses of a quick series in one place 1, 2, 3, ...;
// every second one completes a double click, which is not a press: it changes nothing,
// and the release after it finds no capture.
bool is_double_click(int clicks);

// `captured` is the window's hold on the mouse, kept by the GUI thread.
void left_pressed(MouseCounters& mouse, bool& captured, int x, int y);
void left_released(MouseCounters& mouse, bool& captured, int x, int y);
void right_pressed(MouseCounters& mouse);
void wheel_pressed(MouseCounters& mouse);
// One notch: forward > 0, backward < 0; the position saturates at the int32 range.
void wheel_turned(MouseCounters& mouse, int direction);

// The drag as a program reads it: the drag in progress included while dragging.
int32_t drag_reading(const MouseCounters& mouse, int32_t pointer, const std::atomic<int32_t>& drag);

}  // namespace zov
