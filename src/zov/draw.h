// The drawing primitives: our own rasterizer over a Surface's memory, so every picture
// is exact and the same with or without a display.
//
// Coordinates are any 32-bit values (64-bit in Point and Box); whatever falls outside
// the surface is clipped, and no primitive ever walks over pixels it cannot show, so
// huge shapes cost only what is visible. Each returns 0, or -1 when it drew nothing
// because its arguments describe no shape (reported through ZOV_REPORT where it is a
// failure rather than a legal empty shape).
//
// Pen, brush and raster operation come from the draw option word:
// - width: option & 15 when option has bit 0x100, else 1; widths of 0 count as 1.
//   A wide pen is centred on the outline: (width-1)/2 pixels inside, the rest outside.
//   Wide solid lines have round caps and joins; boxes keep square corners; a wide
//   dotted pen draws its dots as squares of its width.
// - dotted (0x20): 3 pixels drawn, 3 skipped, continuing along a polyline and around a
//   box or ellipse outline. The skipped pixels are left untouched when bit 0x40
//   (transparent) is set, else painted with background_colour. Around an ellipse the
//   dots are counted from the first pixel near the surface, so their phase may shift
//   when the ellipse is clipped.
// - exclusive or (0x80): pen and brush pixels become old ^ rgb. Every pixel of one
//   primitive is combined once, even where outline, fill, caps or joins overlap, so
//   drawing the same thing twice restores the surface.
// - fill (0x10): the interior is painted with rgb; the pen then draws the outline
//   around it (the two never overlap).
// Slanted lines step along their longer axis; a pixel exactly halfway between two
// rows (or columns) goes to the one nearer the start.
// Ellipses: the pixel (px, py) of the box (l, t, r, b) is inside when its centre lies
// strictly inside the ellipse whose axes are the box's width and height; the outline is
// the inside pixels with a 4-neighbour outside, so it is 8-connected and one pixel thin.
// A wide pen's outline is the ellipse grown by its outside part, less the interior of
// the ellipse shrunk by its inside part.
#pragma once
#include <cstdint>
#include <span>

#include "zov/surface.h"

namespace zov {

namespace option {
inline constexpr uint32_t fill = 0x10;
inline constexpr uint32_t dotted = 0x20;
inline constexpr uint32_t transparent = 0x40;
inline constexpr uint32_t dash = dotted | transparent;
inline constexpr uint32_t exclusive_or = 0x80;
inline constexpr uint32_t width_given = 0x100;
inline constexpr uint32_t width_mask = 0x0F;
inline constexpr uint32_t bold = width_given | 3;
}  // namespace option

// The surface's background: the gaps of an opaque dotted pen and clear(-1).
inline constexpr uint32_t background_colour = 0xFFFFFF;

struct Point {
    int64_t x, y;
};

// Pixels left..right-1 by top..bottom-1.
struct Box {
    int64_t left, top, right, bottom;
};

// --- The operations of the drawing statements -------------------------------------

// xw x yw pixels with the top-left corner at (x, y); a negative extent ends the box at
// x (or y) instead. Width 1 or height 1 is a line with the pen, 1 x 1 a plain pixel.
// Zero extents draw nothing and give -1.
int draw_box(Surface& surface, int32_t x, int32_t y, int32_t xw, int32_t yw, uint32_t rgb, uint32_t options);

// Both end points drawn; the end point (x2, y2) always plain rgb (no dash, no xor) unless
// the line is horizontal or vertical. The fill bit is ignored.
int draw_line(Surface& surface, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t rgb, uint32_t options);

// Circle of diameter 2r+1 centred on (x, y); r = 0 is one plain pixel, r < 0 nothing (-1).
int draw_circle(Surface& surface, int32_t x, int32_t y, int32_t r, uint32_t rgb, uint32_t options);

// Ellipse of 2xr+1 by 2yr+1 pixels centred on (x, y). One radius 0: the line from
// (x-xr, y-yr) to (x+xr, y+yr). Both 0: one pixel. A negative radius: nothing (-1).
int draw_oval(Surface& surface, int32_t x, int32_t y, int32_t xr, int32_t yr, uint32_t rgb, uint32_t options);

// The pixel's rgb value, or -1 outside the surface. (Setting a pixel is
// Surface::set_pixel, which ignores pixels outside.)
int32_t read_pixel(const Surface& surface, int32_t x, int32_t y);

// Fills the 4-connected area of the start pixel's colour with rgb. Nothing happens when
// (x, y) is outside or already rgb. Memory stays proportional to the area's spans.
int flood_fill(Surface& surface, int32_t x, int32_t y, uint32_t rgb);

// Moves the picture xs pixels right and ys down (negative: left, up). The uncovered
// strips are filled with rgb, or keep their old pixels when rgb is -1.
int scroll(Surface& surface, int32_t xs, int32_t ys, int32_t rgb);

// The whole surface in rgb; -1 means background_colour.
int clear(Surface& surface, int32_t rgb);

// Copies the source rectangle (sx, sy, sxw x syw) onto (x, y, xw x yw), nearest pixel,
// no blending. A negative extent starts the rectangle at its coordinate and runs left
// (or up) from it, so extents of opposite signs mirror. Destination pixels whose source
// pixel lies outside the source surface are left untouched. Source and destination may
// be the same surface and overlap. Zero extents draw nothing (-1).
int stretch_copy(Surface& destination, int32_t x, int32_t y, int32_t xw, int32_t yw, const Surface& source,
                 int32_t sx, int32_t sy, int32_t sxw, int32_t syw);

// --- The underlying primitives, for graphs and other callers ----------------------

// Connected segments with the pen. A thin or dotted pen leaves out the last point (as
// each segment leaves out its end, where the next one starts); a wide solid pen draws
// it, with its round cap.
int polyline(Surface& surface, std::span<const Point> points, uint32_t rgb, uint32_t options);

// Outline of the box with the pen, interior with the brush.
int rectangle(Surface& surface, Box box, uint32_t rgb, uint32_t options);

// The ellipse inscribed in the box, outlined with the pen and filled with the brush.
// Boxes wider or higher than 2^32 pixels draw nothing (-1).
int ellipse(Surface& surface, Box box, uint32_t rgb, uint32_t options);

}  // namespace zov
