// The rasterizer's pens and shapes: exact pixels, options, clipping, huge coordinates.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <functional>
#include <random>
#include <string>

#include "zov/draw.h"

#include "zov_picture.h"

namespace {

using namespace zov;
using namespace zov_test;

int count_colour(const Surface& s, uint32_t colour) {
    int count = 0;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x) count += s.get_pixel(x, y) == colour;
    return count;
}

bool same_pixels(const Surface& a, const Surface& b) {
    return a.width() == b.width() && a.height() == b.height() &&
           std::equal(a.bytes().begin(), a.bytes().end(), b.bytes().begin());
}

TEST(ZovDraw, BoxesOfOnePixelWidthOrHeight) {
    Surface s(20, 20);
    EXPECT_EQ(draw_box(s, 10, 10, 1, 1, red, option::exclusive_or), 0);
    EXPECT_EQ(s.get_pixel(10, 10), red);  // a plain pixel: xor does not apply
    draw_box(s, 10, 12, -3, 1, red, 0);
    EXPECT_EQ(picture(s, 7, 12, 5, 1), ".###.\n");
    draw_box(s, 2, 5, 1, -3, red, 0);
    EXPECT_EQ(picture(s, 2, 2, 1, 5), ".\n#\n#\n#\n.\n");
    Surface before = s;
    EXPECT_EQ(draw_box(s, 10, 10, 0, 5, red, 0), -1);
    EXPECT_EQ(draw_box(s, 10, 10, 5, 0, red, 0), -1);
    EXPECT_TRUE(same_pixels(s, before));
}

TEST(ZovDraw, BoxOutlineFillAndBoldPen) {
    Surface s(20, 20);
    draw_box(s, 1, 1, 5, 4, red, 0);
    EXPECT_EQ(picture(s, 0, 0, 7, 6), ".......\n.#####.\n.#...#.\n.#...#.\n.#####.\n.......\n");
    draw_box(s, 1, 1, 5, 4, blue, option::fill);
    EXPECT_EQ(s.get_pixel(3, 2), blue);
    EXPECT_EQ(s.get_pixel(1, 1), blue);
    Surface bold(20, 20);
    draw_box(bold, 3, 3, 7, 7, red, option::bold);  // centred on the border: one out, one in
    EXPECT_EQ(picture(bold, 1, 1, 11, 11),
              "...........\n"
              ".#########.\n"
              ".#########.\n"
              ".#########.\n"
              ".###...###.\n"
              ".###...###.\n"
              ".###...###.\n"
              ".#########.\n"
              ".#########.\n"
              ".#########.\n"
              "...........\n");
}

TEST(ZovDraw, LinesIncludeBothEnds) {
    Surface s(20, 20);
    draw_line(s, 0, 0, 5, 0, 0, 0);
    EXPECT_EQ(picture(s, 0, 0, 7, 1), "######.\n");
    draw_line(s, 5, 5, 5, 5, 0, 0);
    EXPECT_EQ(picture(s, 4, 4, 3, 3), "...\n.#.\n...\n");
    draw_line(s, 10, 2, 10, -3, 0, 0);  // upwards, clipped at the top
    EXPECT_EQ(picture(s, 10, 0, 1, 4), "#\n#\n#\n.\n");
    draw_line(s, 12, 10, 16, 12, 0, 0);
    EXPECT_EQ(picture(s, 12, 10, 5, 3), "##...\n..##.\n....#\n");
    Surface bold(12, 8);
    draw_line(bold, 2, 5, 8, 5, 0, option::bold);  // round caps of radius 1 at both ends
    EXPECT_EQ(picture(bold, 0, 3, 11, 5), "...........\n.#########.\n.#########.\n.#########.\n...........\n");
    // A wide pen covers a slanted line's end pixel too, which is still left plain.
    Surface wide(20, 20, red);
    draw_line(wide, 0, 10, 10, 15, blue, option::bold | option::exclusive_or);
    EXPECT_EQ(wide.get_pixel(10, 15), blue);
    EXPECT_EQ(wide.get_pixel(10, 16), red ^ blue);
    EXPECT_EQ(wide.get_pixel(5, 12), red ^ blue);
}

TEST(ZovDraw, DottedPenLeavesGapsUntouchedOrPaintsThemWhite) {
    Surface s(20, 4, red);
    draw_line(s, 0, 0, 11, 0, 0, option::dash);
    for (int x : {3, 4, 5, 9, 10, 11}) EXPECT_EQ(s.get_pixel(x, 0), red) << x;
    for (int x : {0, 1, 2, 6, 7, 8}) EXPECT_EQ(s.get_pixel(x, 0), 0u) << x;
    draw_line(s, 0, 2, 11, 2, 0, option::dotted);  // opaque gaps take the background
    EXPECT_EQ(picture(s, 0, 2, 12, 1), "###...###...\n");
    // A slanted line ends in a plain pixel even where the pattern has a gap.
    Surface t(20, 20, red);
    draw_line(t, 0, 0, 10, 5, blue, option::dash | option::exclusive_or);
    EXPECT_EQ(t.get_pixel(10, 5), blue);
    EXPECT_EQ(t.get_pixel(0, 0), red ^ blue);
    EXPECT_EQ(t.get_pixel(4, 2), red);
}

TEST(ZovDraw, CirclesAndOvals) {
    Surface s(100, 100);
    draw_circle(s, 50, 50, 0, 0, 0);
    EXPECT_EQ(count_colour(s, 0), 1);
    EXPECT_EQ(draw_circle(s, 50, 50, -1, 0, 0), -1);
    draw_circle(s, 50, 50, 10, 0, 0);
    EXPECT_EQ(s.get_pixel(40, 50), 0u);
    EXPECT_EQ(s.get_pixel(60, 50), 0u);
    EXPECT_EQ(s.get_pixel(50, 40), 0u);
    EXPECT_EQ(s.get_pixel(50, 60), 0u);
    EXPECT_EQ(picture(s, 39, 50, 1, 1) + picture(s, 61, 50, 1, 1), ".\n.\n");
    Surface small(9, 9);
    draw_circle(small, 4, 4, 3, 0, 0);
    EXPECT_EQ(picture(small, 0, 0, 9, 9),
              ".........\n"
              "...###...\n"
              "..#...#..\n"
              ".#.....#.\n"
              ".#.....#.\n"
              ".#.....#.\n"
              "..#...#..\n"
              "...###...\n"
              ".........\n");
    draw_circle(small, 4, 4, 3, red, option::fill);
    EXPECT_EQ(small.get_pixel(4, 4), red);
    EXPECT_EQ(small.get_pixel(2, 2), red);
    Surface oval(100, 100);
    draw_oval(oval, 50, 50, 10, 0, 0, 0);
    EXPECT_EQ(picture(oval, 39, 50, 23, 1), ".#####################.\n");
    EXPECT_EQ(draw_oval(oval, 50, 50, 3, -1, 0, 0), -1);
}

// Every primitive with every option: drawing it twice with xor restores the surface,
// and once changes exactly the pixels the copy mode paints.
TEST(ZovDraw, ExclusiveOrTouchesEachPixelOnce) {
    using Draw = std::function<void(Surface&, uint32_t)>;
    const std::array<Draw, 5> shapes = {
        [](Surface& s, uint32_t o) { draw_box(s, 5, 5, 30, 20, 0x00FF00, o); },
        [](Surface& s, uint32_t o) { draw_circle(s, 30, 30, 17, 0x00FF00, o); },
        [](Surface& s, uint32_t o) { draw_oval(s, 30, 30, 25, 9, 0x00FF00, o); },
        [](Surface& s, uint32_t o) { draw_line(s, 2, 50, 55, 50, 0x00FF00, o); },
        [](Surface& s, uint32_t o) {
            const std::array<Point, 4> path{{{5, 5}, {50, 10}, {10, 50}, {55, 55}}};
            polyline(s, path, 0x00FF00, o);
        },
    };
    for (uint32_t extra : {0u, option::fill, option::bold, option::dash, option::fill | option::bold | option::dash}) {
        for (const Draw& draw : shapes) {
            Surface copied(60, 60), xored(60, 60);
            draw(copied, extra);
            draw(xored, extra | option::exclusive_or);
            EXPECT_EQ(count_colour(xored, white ^ 0x00FF00), count_colour(copied, 0x00FF00)) << extra;
            draw(xored, extra | option::exclusive_or);
            EXPECT_EQ(count_colour(xored, white), 60 * 60) << extra;
        }
    }
}

// A shape drawn on a small surface is the same as the matching part of a large one.
TEST(ZovDraw, ClipsAtAllFourSides) {
    using Draw = std::function<void(Surface&, int, int)>;
    const std::array<Draw, 5> shapes = {
        [](Surface& s, int dx, int dy) { draw_box(s, 10 + dx, 10 + dy, 80, 70, red, option::bold | option::dash); },
        [](Surface& s, int dx, int dy) { draw_circle(s, 50 + dx, 50 + dy, 40, red, option::bold | option::fill); },
        [](Surface& s, int dx, int dy) { draw_oval(s, 50 + dx, 50 + dy, 45, 20, red, 0); },
        [](Surface& s, int dx, int dy) { draw_line(s, 3 + dx, 90 + dy, 97 + dx, 7 + dy, red, option::bold | option::dash); },
        [](Surface& s, int dx, int dy) { draw_line(s, 5 + dx, 5 + dy, 95 + dx, 60 + dy, red, option::dash); },
    };
    for (const Draw& draw : shapes) {
        Surface whole(100, 100);
        draw(whole, 0, 0);
        for (auto [x0, y0] : {std::pair{-20, 30}, {70, 30}, {30, -20}, {30, 70}, {-20, -20}, {70, 70}}) {
            Surface part(50, 50);
            draw(part, -x0, -y0);
            for (int y = 0; y < 50; ++y)
                for (int x = 0; x < 50; ++x)
                    if (whole.contains(x + x0, y + y0)) {
                        ASSERT_EQ(part.get_pixel(x, y), whole.get_pixel(x + x0, y + y0)) << x0 << "," << y0;
                    }
        }
    }
}

TEST(ZovDraw, HugeCoordinatesDrawOnlyTheVisiblePart) {
    Surface s(64, 48);
    draw_line(s, INT_MIN, INT_MIN, INT_MAX, INT_MAX, red, option::bold);
    for (int k = 0; k < 48; ++k) EXPECT_EQ(s.get_pixel(k, k), red) << k;
    draw_line(s, INT_MIN, 40, INT_MAX, 40, blue, option::dash);
    EXPECT_EQ(picture(s, 0, 40, 7, 1), "#...###\n");  // the dots keep their phase from far away
    draw_box(s, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0);  // ends at -2: nothing to see
    draw_box(s, INT_MAX, INT_MAX, INT_MIN, INT_MIN, blue, option::fill);  // ends at 0: covers everything
    EXPECT_EQ(count_colour(s, blue), 64 * 48);
    EXPECT_EQ(draw_circle(s, 0, 0, INT_MAX, 0, option::fill), 0);
    EXPECT_EQ(count_colour(s, 0), 64 * 48);
    Surface edge(64, 48);
    draw_circle(edge, 32, INT_MAX, INT_MAX, 0, option::bold);  // the top of the circle crosses row 0
    EXPECT_EQ(edge.get_pixel(32, 0), 0u);
    EXPECT_EQ(edge.get_pixel(32, 5), white);
    draw_oval(edge, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, option::dash | option::fill);
    draw_oval(edge, INT_MAX, 0, INT_MAX, 0, 0, 0);
    EXPECT_EQ(edge.get_pixel(63, 0), 0u);
    EXPECT_EQ(ellipse(edge, {0, 0, int64_t(1) << 33, 10}, 0, 0), -1);
    EXPECT_EQ(read_pixel(edge, -1, 0), -1);
    EXPECT_EQ(read_pixel(edge, 0, INT_MAX), -1);
    EXPECT_EQ(read_pixel(edge, 63, 47), int32_t(white));
}

// Any mix of extreme and ordinary arguments draws or refuses, and never strays outside
// the surface (the sanitizer builds watch every access).
TEST(ZovDraw, ExtremeArgumentsNeverFail) {
    std::mt19937 random(8);
    const int32_t picks[] = {INT_MIN, INT_MIN + 1, -(1 << 30), -70, -1, 0, 1, 2, 3, 35, 69, 70, 1 << 30, INT_MAX - 1, INT_MAX};
    auto any = [&] { return random() % 3 ? picks[random() % std::size(picks)] : int32_t(random() % 200) - 60; };
    const uint32_t options[] = {0, option::fill, option::dash, option::dotted, option::exclusive_or, option::bold,
                                option::width_given | 15, option::width_given, 0x1FF};
    Surface s(70, 50), other(33, 21);
    for (int round = 0; round < 20000; ++round) {
        const uint32_t o = options[random() % std::size(options)], c = random();
        int result = 0;
        switch (round % 8) {
        case 0: result = draw_box(s, any(), any(), any(), any(), c, o); break;
        case 1: result = draw_line(s, any(), any(), any(), any(), c, o); break;
        case 2: result = draw_circle(s, any(), any(), any(), c, o); break;
        case 3: result = draw_oval(s, any(), any(), any(), any(), c, o); break;
        case 4: result = flood_fill(s, any(), any(), c); break;
        case 5: result = scroll(s, any(), any(), random() % 2 ? -1 : int32_t(c & 0xFFFFFF)); break;
        case 6: result = stretch_copy(s, any(), any(), any(), any(), other, any(), any(), any(), any()); break;
        case 7: result = stretch_copy(s, any(), any(), any(), any(), s, any(), any(), any(), any()); break;
        }
        ASSERT_TRUE(result == 0 || result == -1) << round;
    }
}

}  // namespace
