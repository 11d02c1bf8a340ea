// Flood fill, scrolling, clearing and stretched copies.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "zov/draw.h"

namespace {

using namespace zov;
constexpr uint32_t white = 0xFFFFFF, red = 0x0000FF, blue = 0xFF0000;

int count_colour(const Surface& s, uint32_t colour) {
    int count = 0;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x) count += s.get_pixel(x, y) == colour;
    return count;
}

// A surface whose every pixel has its own colour, to see where pixels went.
Surface numbered(int w, int h) {
    Surface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) s.set_pixel(x, y, uint32_t(y * 1000 + x));
    return s;
}

TEST(ZovFill, FillsALargeAreaAroundAnObstacle) {
    Surface s(1200, 900);
    draw_circle(s, 600, 450, 200, 0, 0);
    EXPECT_EQ(flood_fill(s, 0, 0, red), 0);
    EXPECT_EQ(s.get_pixel(1199, 899), red);
    EXPECT_EQ(s.get_pixel(600, 450), white);  // inside the circle: not connected
    EXPECT_EQ(count_colour(s, red) + count_colour(s, white) + count_colour(s, 0), 1200 * 900);
    flood_fill(s, 600, 450, blue);
    EXPECT_EQ(count_colour(s, white), 0);
}

TEST(ZovFill, FillsEveryCorridorOfAMaze) {
    // Walls of a serpentine: one corridor winds through all rows.
    Surface s(101, 101);
    for (int y = 2; y < 100; y += 4) {
        const bool from_left = (y / 4) % 2 == 0;
        draw_line(s, from_left ? 0 : 2, y, from_left ? 98 : 100, y, 0, 0);
    }
    const int walls = count_colour(s, 0);
    flood_fill(s, 0, 0, red);
    EXPECT_EQ(count_colour(s, 0), walls);
    EXPECT_EQ(count_colour(s, red) + walls, 101 * 101);
    EXPECT_EQ(s.get_pixel(100, 100), red);
    // A pocket reached only diagonally stays unfilled: the fill is 4-connected.
    Surface pocket(5, 5);
    draw_box(pocket, 0, 0, 5, 5, 0, 0);
    pocket.set_pixel(2, 1, 0);
    pocket.set_pixel(1, 2, 0);
    flood_fill(pocket, 1, 1, red);
    EXPECT_EQ(pocket.get_pixel(2, 2), white);  // only diagonally connected to (1, 1)
    EXPECT_EQ(pocket.get_pixel(1, 1), red);
}

TEST(ZovFill, NothingHappensOutsideOrOnTheSameColour) {
    Surface s(10, 10);
    EXPECT_EQ(flood_fill(s, -1, 0, red), -1);
    EXPECT_EQ(flood_fill(s, 0, INT_MAX, red), -1);
    EXPECT_EQ(flood_fill(s, 3, 3, white), 0);
    EXPECT_EQ(count_colour(s, white), 100);
}

TEST(ZovFill, ScrollMovesThePictureAndFillsTheUncoveredStrips) {
    const Surface original = numbered(40, 30);
    Surface s = original;
    scroll(s, 10, 0, int32_t(white));
    EXPECT_EQ(s.get_pixel(10, 5), original.get_pixel(0, 5));
    EXPECT_EQ(s.get_pixel(39, 29), original.get_pixel(29, 29));
    for (int x = 0; x < 10; ++x) EXPECT_EQ(s.get_pixel(x, 7), white);
    s = original;
    scroll(s, 0, -5, -1);
    EXPECT_EQ(s.get_pixel(3, 0), original.get_pixel(3, 5));
    for (int y = 25; y < 30; ++y) EXPECT_EQ(s.get_pixel(3, y), original.get_pixel(3, y));  // kept as they were
    s = original;
    scroll(s, -3, 4, int32_t(red));
    EXPECT_EQ(s.get_pixel(0, 4), original.get_pixel(3, 0));
    EXPECT_EQ(s.get_pixel(37, 10), red);
    EXPECT_EQ(s.get_pixel(5, 3), red);
    scroll(s, INT_MIN, INT_MAX, int32_t(blue));
    EXPECT_EQ(count_colour(s, blue), 40 * 30);
    s = original;
    scroll(s, 40, 0, -1);  // everything moves out; nothing moves in
    EXPECT_EQ(s.get_pixel(7, 7), original.get_pixel(7, 7));
}

TEST(ZovFill, ClearUsesTheBackgroundForMinusOne) {
    Surface s(8, 8, 0);
    clear(s, int32_t(red));
    EXPECT_EQ(count_colour(s, red), 64);
    clear(s, -1);
    EXPECT_EQ(count_colour(s, white), 64);
}

TEST(ZovFill, StretchCopyRepeatsAndDropsPixels) {
    const Surface source = numbered(20, 20);
    Surface s(40, 40);
    EXPECT_EQ(stretch_copy(s, 0, 0, 40, 40, source, 0, 0, 20, 20), 0);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_EQ(s.get_pixel(x, y), source.get_pixel(x / 2, y / 2));
    Surface half(10, 10);
    stretch_copy(half, 0, 0, 10, 10, source, 0, 0, 20, 20);
    EXPECT_EQ(half.get_pixel(3, 4), source.get_pixel(6, 8));
    // A negative extent runs left from its coordinate: a mirror image.
    Surface mirror(20, 20);
    stretch_copy(mirror, 19, 0, -20, 20, source, 0, 0, 20, 20);
    EXPECT_EQ(mirror.get_pixel(19, 3), source.get_pixel(0, 3));
    EXPECT_EQ(mirror.get_pixel(0, 3), source.get_pixel(19, 3));
    EXPECT_EQ(stretch_copy(mirror, 0, 0, 0, 5, source, 0, 0, 5, 5), -1);
}

TEST(ZovFill, StretchCopyWithinOneSurfaceReadsThePictureBeforeTheCopy) {
    const Surface original = numbered(200, 200);
    Surface s = original;
    stretch_copy(s, 0, 0, 200, 200, s, 0, 0, 100, 100);  // doubles the top-left quarter
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) ASSERT_EQ(s.get_pixel(x, y), original.get_pixel(x / 2, y / 2));
    // A source rectangle reaching outside: the same as copying from a separate surface.
    Surface separate = original;
    s = original;
    stretch_copy(s, 150, -10, -120, 90, s, -30, 170, 80, 60);
    stretch_copy(separate, 150, -10, -120, 90, original, -30, 170, 80, 60);
    EXPECT_TRUE(std::equal(s.bytes().begin(), s.bytes().end(), separate.bytes().begin()));
    EXPECT_NE(s.get_pixel(100, 10), original.get_pixel(100, 10));
}

TEST(ZovFill, StretchCopyLeavesPixelsWithoutASourceAndIgnoresHugeExtents) {
    const Surface source = numbered(10, 10);
    Surface s(30, 30);
    stretch_copy(s, 0, 0, 20, 20, source, 5, 5, 20, 20);
    EXPECT_EQ(s.get_pixel(4, 4), source.get_pixel(9, 9));
    EXPECT_EQ(s.get_pixel(5, 5), white);
    stretch_copy(s, INT_MIN, INT_MIN, INT_MIN, INT_MIN, source, INT_MAX, INT_MAX, INT_MAX, INT_MAX);
    stretch_copy(s, 0, 0, INT_MAX, INT_MAX, source, 0, 0, 1, 1);
    EXPECT_EQ(count_colour(s, source.get_pixel(0, 0)), 30 * 30);
    stretch_copy(s, 29, 29, INT_MIN, INT_MIN, s, 0, 0, INT_MAX, INT_MAX);
}

}  // namespace
