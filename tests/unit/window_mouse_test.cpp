// The mouse-event rules of a window: presses, capture, drag sums and the wheel.
#include <gtest/gtest.h>

#include <limits>

#include "zov/window_mouse.h"

namespace {

TEST(WindowMouse, DragsAddUpAcrossPressesAndFollowThePointerWhileHeld) {
    zov::MouseCounters mouse;
    bool captured = false;
    zov::left_pressed(mouse, captured, 20, 20);
    EXPECT_TRUE(captured);
    EXPECT_EQ(mouse.left_dragging, 1);
    EXPECT_EQ(zov::drag_reading(mouse, 35, mouse.drag_x), 15);  // the drag in progress
    zov::left_released(mouse, captured, 50, 30);
    EXPECT_EQ(zov::drag_reading(mouse, 0, mouse.drag_x), 30);
    EXPECT_EQ(zov::drag_reading(mouse, 0, mouse.drag_y), 10);
    zov::left_pressed(mouse, captured, 50, 30);
    EXPECT_EQ(zov::drag_reading(mouse, 47, mouse.drag_x), 27);
    zov::left_released(mouse, captured, 45, 30);
    EXPECT_EQ(mouse.drag_x, 25);
    EXPECT_EQ(mouse.drag_y, 10);
    EXPECT_EQ(mouse.left_clicks, 2);
    EXPECT_EQ(mouse.left_dragging, 0);
}

TEST(WindowMouse, PressWhileCapturedCountsOnlyAndReleaseWithoutCaptureDoesNothing) {
    zov::MouseCounters mouse;
    bool captured = false;
    zov::left_released(mouse, captured, 9, 9);
    EXPECT_EQ(mouse.drag_x, 0);
    zov::left_pressed(mouse, captured, 5, 5);
    zov::left_pressed(mouse, captured, 7, 7);
    EXPECT_EQ(mouse.left_clicks, 2);
    EXPECT_EQ(mouse.drag_x, 5);
    zov::right_pressed(mouse);
    zov::wheel_pressed(mouse);
    mouse.reset();
    EXPECT_EQ(mouse.left_clicks + mouse.right_clicks + mouse.wheel_clicks + mouse.drag_x + mouse.drag_y, 0);
    EXPECT_EQ(mouse.left_dragging, 1);  // a reset leaves the drag in progress
}

// A double click arrives as press (1), release, press (2), release: only the first
// press counts and drags, and a triple click's third press is a plain press again.
TEST(WindowMouse, EverySecondPressOfASeriesIsADoubleClick) {
    EXPECT_FALSE(zov::is_double_click(1));
    EXPECT_TRUE(zov::is_double_click(2));
    EXPECT_FALSE(zov::is_double_click(3));
    EXPECT_TRUE(zov::is_double_click(4));
    zov::MouseCounters mouse;
    bool captured = false;
    for (int clicks : {1, 2}) {
        if (!zov::is_double_click(clicks)) zov::left_pressed(mouse, captured, 10, 10);
        zov::left_released(mouse, captured, 12, 10);
    }
    EXPECT_EQ(mouse.left_clicks, 1);
    EXPECT_EQ(mouse.drag_x, 2);
    EXPECT_EQ(mouse.left_dragging, 0);
}

TEST(WindowMouse, WheelCountsNotchesAndSaturates) {
    zov::MouseCounters mouse;
    for (int direction : {1, 1, 1, -1}) zov::wheel_turned(mouse, direction);
    EXPECT_EQ(mouse.wheel_pos, 2);
    mouse.wheel_pos = std::numeric_limits<int32_t>::max();
    zov::wheel_turned(mouse, 1);
    EXPECT_EQ(mouse.wheel_pos, std::numeric_limits<int32_t>::max());
    mouse.wheel_pos = std::numeric_limits<int32_t>::min();
    zov::wheel_turned(mouse, -1);
    EXPECT_EQ(mouse.wheel_pos, std::numeric_limits<int32_t>::min());
}

}  // namespace
