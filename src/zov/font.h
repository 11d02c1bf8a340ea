// Fixed-pitch text on a surface: a character cell of a given width and height, glyphs
// from FreeType, or from a small built-in bitmap font when no font file exists at all.
//
// The default face is looked up once per process, the first that loads of:
// 1. ZOV_GOTHIC: a font file when the value contains a '/', else a fontconfig pattern
//    (a family name such as "IPAGothic", or "Noto Sans Mono CJK JP:bold");
// 2. a fixed-pitch Japanese face (fontconfig "monospace:lang=ja", e.g. IPAGothic);
// 3. any monospace face;
// 4. the built-in font (ASCII; other characters show as a hollow box).
//
// Glyphs are rendered in two colours, no anti-aliasing, so text pixels are exactly the
// text colour and flood fills stop at them. Every character sits in its cell on a
// fixed pitch, so there is no separate bold layout. A Font and its glyph cache belong
// to one thread at a time; the shared face locks itself.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "zov/surface.h"

namespace zov {

// How the bytes of a string are read: the console code page.
enum class TextEncoding { Utf8, ShiftJis };

class GlyphCache;

class Font {
public:
    // Default: the default face; Builtin: always the built-in font, whatever is
    // installed (pixels that do not depend on the machine).
    enum class Source { Default, Builtin };

    // A new surface's font: 8 x 16 pixel cells.
    explicit Font(Source source = Source::Default);

    // The cell size of gfont/set_font. A width of 0 (or below) takes the face's natural
    // width for the height; a height of 0 (or below) takes the default 16. Sizes are
    // capped at max_cell pixels. Every size is accepted (0 is returned); a glyph the
    // face cannot render at it comes from the built-in font.
    int set_size(int32_t width, int32_t height);

    int cell_width() const { return cell_width_; }
    int cell_height() const { return cell_height_; }
    // The family name of the face in use, or "builtin".
    std::string face_name() const;

    static constexpr int default_width = 8;
    static constexpr int default_height = 16;
    static constexpr int max_cell = 2048;

private:
    friend int draw_text(Surface&, const Font&, int32_t, int32_t, std::string_view, uint32_t, int32_t, TextEncoding);
    Source source_;
    int cell_width_ = default_width;
    int cell_height_ = default_height;
    std::shared_ptr<GlyphCache> glyphs_;
};

// Draws `text` with the first cell's top-left corner at (x, y) in colour fg. Each
// character takes one cell, or two for a double-byte Shift-JIS character and for an
// East Asian wide character in UTF-8; a glyph is clipped to its cells. With bg (not -1)
// the cells are filled with bg first; with bg = -1 only the glyph pixels change.
// Broken byte sequences show the replacement character. An empty text draws nothing.
int draw_text(Surface& surface, const Font& font, int32_t x, int32_t y, std::string_view text, uint32_t fg,
              int32_t bg, TextEncoding encoding);

// The number of cells `text` takes, as draw_text lays it out.
int64_t text_cells(std::string_view text, TextEncoding encoding);

}  // namespace zov
