// Graph arithmetic against corners worked out by hand: plot areas and rows of
// graph2d, panel layout, stereo angles and the truncating projection of graph3d, and
// the value cache's key.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "graphics/graph_cache.h"
#include "graphics/graph_geometry.h"

namespace {

constexpr double kPi = 3.141592653589793;

TEST(Graph2dGeometry, MarginsAndRowsOfAnEightBySixteenCell) {
    const PixelArea plot = graph2d_plot_area({0, 0, 800, 600}, 8, 16);
    EXPECT_EQ(plot.x, 32);
    EXPECT_EQ(plot.y, 32);
    EXPECT_EQ(plot.width, 736);
    EXPECT_EQ(plot.height, 536);
    EXPECT_TRUE(graph2d_area_usable(plot));

    const GraphRange y{-2, 2};
    EXPECT_EQ(graph2d_row(-2, plot, y), 567);  // bottom row
    EXPECT_EQ(graph2d_row(2, plot, y), 32);    // top row
    EXPECT_EQ(graph2d_row(0, plot, y), 300);   // 567 - trunc(267.5)
    EXPECT_EQ(graph2d_row(std::nan(""), plot, y), std::nullopt);
    EXPECT_EQ(graph2d_row(1, plot, GraphRange{1, 1}), std::nullopt);  // 0/0

    EXPECT_EQ(graph2d_sample_x(0, 736, {-2, 2}), -2.0);
    EXPECT_EQ(graph2d_sample_x(735, 736, {-2, 2}), 2.0);
}

TEST(Graph2dGeometry, SmallAndHugeAreas) {
    const PixelArea small = graph2d_plot_area({0, 0, 100, 50}, 8, 16);
    EXPECT_EQ(small.width, 36);
    EXPECT_EQ(small.height, -14);
    EXPECT_FALSE(graph2d_area_usable(small));
    EXPECT_FALSE(graph2d_area_usable(graph2d_plot_area({0, 0, 11 + 64, 10 + 64}, 8, 16)));
    EXPECT_TRUE(graph2d_area_usable(graph2d_plot_area({0, 0, 11 + 64, 11 + 64}, 8, 16)));

    const PixelArea far = graph2d_plot_area({2147483647, 2147483647, 2147483647, 2147483647}, 8, 16);
    EXPECT_EQ(far.x, 2147483647LL + 32);
    EXPECT_EQ(far.width, 2147483647LL - 64);
}

TEST(Graph2dGeometry, RealValues) {
    EXPECT_TRUE(is_real_value({1, 1e-11}));
    EXPECT_TRUE(is_real_value({0, 9e-11}));
    EXPECT_FALSE(is_real_value({0, 1e-10}));
    EXPECT_FALSE(is_real_value({1e-5, 1e-14}));  // small, but not beside 1e-5
    EXPECT_TRUE(is_real_value({-1e-5, 1e-16}));
    EXPECT_FALSE(is_real_value({std::nan(""), 0}));
}

TEST(Graph3dGeometry, OneAndTwoPanelLayouts) {
    const auto one = graph3d_panels({0, 0, 800, 600}, false);
    EXPECT_EQ(one[0].x, 100);
    EXPECT_EQ(one[0].y, 0);
    EXPECT_EQ(one[0].side, 600);
    EXPECT_EQ(one[0].eye, 1);

    const auto pair = graph3d_panels({0, 0, 800, 600}, true);
    EXPECT_EQ(pair[0].x, 0);
    EXPECT_EQ(pair[0].y, 100);
    EXPECT_EQ(pair[0].side, 400);
    EXPECT_EQ(pair[1].x, 400);
    EXPECT_EQ(pair[1].y, 100);
    EXPECT_EQ(pair[1].eye, 0);

    const auto odd = graph3d_panels({10, 20, 301, 100}, true);  // half 150, side 100
    EXPECT_EQ(odd[0].x, 35);
    EXPECT_EQ(odd[0].y, 20);
    EXPECT_EQ(odd[1].x, 185);

    // Divisions truncate toward zero, also for negative sizes.
    const auto negative = graph3d_panels({0, 0, -7, 10}, true);  // half -3
    EXPECT_EQ(negative[0].side, -3);
    EXPECT_EQ(negative[0].y, 6);  // 13/2
    EXPECT_EQ(graph3d_panels({0, 0, -7, 10}, false)[0].y, 8);
}

TEST(Graph3dGeometry, StereoAngles) {
    const double h = 0.25;
    const double offset = kPi / 40;
    EXPECT_DOUBLE_EQ(graph3d_view_angle(Graph3dType::Xy2rl, 1, h), h - offset);
    EXPECT_DOUBLE_EQ(graph3d_view_angle(Graph3dType::Xy2rl, 0, h), h + offset);
    EXPECT_DOUBLE_EQ(graph3d_view_angle(Graph3dType::Xy2lr, 1, h), h + offset);
    EXPECT_DOUBLE_EQ(graph3d_view_angle(Graph3dType::Xy2lr, 0, h), h - offset);
    EXPECT_EQ(graph3d_view_angle(Graph3dType::C2c, 0, h), h);
    EXPECT_FALSE(graph3d_has_two_panels(Graph3dType::Z2c));
    EXPECT_TRUE(graph3d_has_two_panels(Graph3dType::Xy2c));
}

void expect_corner(const Graph3dProjection& projection, int64_t x, int64_t y, int64_t z, int64_t sx, int64_t sy) {
    const auto point = projection.project(x, y, z);
    ASSERT_TRUE(point.has_value());
    EXPECT_EQ(point->x, sx) << x << "," << y << "," << z;
    EXPECT_EQ(point->y, sy) << x << "," << y << "," << z;
}

TEST(Graph3dGeometry, CornersSeenStraightFromTheSide) {
    const Graph3dProjection projection(600, 0, 0);
    EXPECT_EQ(projection.grid(), 360);
    EXPECT_EQ(projection.levels(), 360);
    expect_corner(projection, 0, 0, 0, 120, 479);  // trunc(-180+300.5), 600-120-1
    expect_corner(projection, 360, 360, 360, 480, 119);
    expect_corner(projection, 0, 360, 0, 120, 479);  // Y runs toward the viewer
}

TEST(Graph3dGeometry, CornersAtTheDefaultAngles) {
    const Graph3dProjection projection(600, -kPi / 6, kPi / 12);
    expect_corner(projection, 0, 0, 0, 54, 490);       // 54.615, 109.581
    expect_corner(projection, 360, 0, 0, 366, 537);    // 366.385, 62.994
    expect_corner(projection, 0, 360, 0, 234, 409);    // 234.615, 190.273
    expect_corner(projection, 0, 0, 360, 54, 142);     // 54.615, 457.314
    expect_corner(projection, 360, 360, 0, 546, 456);  // 546.385, 143.686
    expect_corner(projection, 360, 360, 360, 546, 108);
}

TEST(Graph3dGeometry, OddSidesAndTruncationTowardZero) {
    const Graph3dProjection projection(7, 0, 0);  // N = M = 4, W/2 = 3
    EXPECT_EQ(projection.grid(), 4);
    expect_corner(projection, 0, 0, 0, 1, 5);
    expect_corner(projection, -6, 0, 0, -4, 5);  // trunc(-4.5) is -4, not -5
    EXPECT_EQ(Graph3dProjection(1, 0, 0).grid(), 0);
    EXPECT_EQ(Graph3dProjection(600, std::nan(""), 0).project(0, 0, 0), std::nullopt);
}

TEST(Graph3dGeometry, GridLookupsGiveTheSamePixels) {
    for (const double hroll : {-kPi / 6, 0.0, 1.0, kPi / 2, -3.0}) {
        const Graph3dProjection projection(203, hroll, kPi / 12 + hroll / 3);  // N = M = 121
        const Graph3dProjection::GridView view = projection.grid_view();
        for (int64_t x = 0; x <= 121; x += 5)
            for (int64_t y = 0; y <= 121; y += 3)
                for (int64_t z = 0; z <= 121; z += 11) {
                    const PixelPoint fast = view.project(x, y, z);
                    const auto exact = projection.project(x, y, z);
                    ASSERT_EQ(fast.x, exact->x);
                    ASSERT_EQ(fast.y, exact->y);
                }
    }
    EXPECT_FALSE(Graph3dProjection(600, std::nan(""), 0).angles_finite());
}

TEST(GraphCache, KeyedByDefinitionRangesSizeAndType) {
    GraphCache cache;
    GraphCacheKey key{7, {-2, 2}, {-2, 2}, {-2, 2}, 400, 5};
    EXPECT_FALSE(cache.holds(key));
    ASSERT_TRUE(cache.prepare(key, 4));
    cache[3] = {{1, 2}, false};
    EXPECT_FALSE(cache.holds(key));  // not all values are in yet
    cache.complete();
    EXPECT_TRUE(cache.holds(key));
    EXPECT_EQ(cache[3].value.im, 2);
    EXPECT_TRUE(cache[0].failed);

    const auto changed = [&key](auto change) {
        GraphCacheKey other = key;
        change(other);
        return other;
    };
    EXPECT_FALSE(cache.holds(changed([](GraphCacheKey& k) { k.definition = 8; })));
    EXPECT_FALSE(cache.holds(changed([](GraphCacheKey& k) { k.x.min = -1; })));
    EXPECT_FALSE(cache.holds(changed([](GraphCacheKey& k) { k.z.max = 3; })));
    EXPECT_FALSE(cache.holds(changed([](GraphCacheKey& k) { k.side = 401; })));
    EXPECT_FALSE(cache.holds(changed([](GraphCacheKey& k) { k.type = 3; })));
    EXPECT_FALSE(cache.prepare(key, std::numeric_limits<size_t>::max() / 2));
    EXPECT_FALSE(cache.holds(key));
}

}  // namespace
