// Fonts as cell sizes over the shared face, their glyph caches, and drawing text.
#include "zov/font.h"

#include <algorithm>
#include <unordered_map>

#include "zov/builtin_font.h"
#include "zov/draw.h"
#include "zov/font_face.h"
#include "zov/text_decode.h"

namespace zov {

// The glyphs of one cell size, rendered on first use.
class GlyphCache {
public:
    GlyphCache(Font::Source source, int cell_width, int cell_height)
        : source_(source), cell_width_(cell_width), cell_height_(cell_height) {}

    // Looked up on first use, so that making a font costs nothing.
    FontFace* face() const { return source_ == Font::Source::Default ? FontFace::shared() : nullptr; }

    const GlyphImage& glyph(char32_t code, int cells) {
        const uint64_t key = uint64_t(code) << 2 | uint64_t(cells);
        if (auto found = glyphs_.find(key); found != glyphs_.end()) return found->second;
        if (bytes_ > byte_limit) glyphs_.clear(), bytes_ = 0;
        GlyphImage image = render(code, cells);
        bytes_ += image.pixels.size() + sizeof image;
        return glyphs_.emplace(key, std::move(image)).first->second;
    }

private:
    static constexpr std::size_t byte_limit = std::size_t(64) << 20;

    GlyphImage render(char32_t code, int cells) const {
        GlyphImage image;
        FontFace* const face = this->face();
        if (face && (face->render(code, cells, cell_width_, cell_height_, image) ||
                     face->render(replacement_character, cells, cell_width_, cell_height_, image)))
            return image;
        return builtin(face ? replacement_character : code, cells);
    }

    GlyphImage builtin(char32_t code, int cells) const {
        GlyphImage image;
        image.width = cells * cell_width_;
        image.height = cell_height_;
        image.pixels.resize(std::size_t(image.width) * std::size_t(image.height));
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x)
                image.pixels[std::size_t(y) * std::size_t(image.width) + std::size_t(x)] =
                    builtin_font::cell_pixel(code, x, y, image.width, image.height);
        return image;
    }

    Font::Source source_;
    int cell_width_, cell_height_;
    std::unordered_map<uint64_t, GlyphImage> glyphs_;
    std::size_t bytes_ = 0;
};

namespace {

std::shared_ptr<GlyphCache> glyph_cache(Font::Source source, int width, int height) {
    return std::make_shared<GlyphCache>(source, width, height);
}

void fill_cells(Surface& surface, const Box& cells, uint32_t colour) {
    const int64_t top = std::max<int64_t>(cells.top, 0), bottom = std::min<int64_t>(cells.bottom, surface.height());
    const int64_t left = std::max<int64_t>(cells.left, 0), right = std::min<int64_t>(cells.right, surface.width());
    for (int64_t y = top; y < bottom; ++y)
        for (int64_t x = left; x < right; ++x) surface.set_pixel(int(x), int(y), colour);
}

// The glyph's pixels that fall inside both its cells and the surface.
void paint_glyph(Surface& surface, const Box& cells, const GlyphImage& glyph, uint32_t colour) {
    for (int gy = 0; gy < glyph.height; ++gy) {
        const int64_t y = cells.top + glyph.top + gy;
        if (y < std::max<int64_t>(cells.top, 0) || y >= std::min<int64_t>(cells.bottom, surface.height())) continue;
        for (int gx = 0; gx < glyph.width; ++gx) {
            const int64_t x = cells.left + glyph.left + gx;
            if (x < cells.left || x >= cells.right || !glyph.pixels[std::size_t(gy) * std::size_t(glyph.width) + gx])
                continue;
            if (x >= 0 && x < surface.width()) surface.set_pixel(int(x), int(y), colour);
        }
    }
}

bool off_surface(const Surface& surface, const Box& box) {
    return box.right <= 0 || box.bottom <= 0 || box.left >= surface.width() || box.top >= surface.height();
}

}  // namespace

Font::Font(Source source) : source_(source), glyphs_(glyph_cache(source, cell_width_, cell_height_)) {}

int Font::set_size(int32_t width, int32_t height) {
    const int h = height <= 0 ? default_height : std::min<int>(height, max_cell);
    int w = width;
    if (w <= 0) w = glyphs_->face() ? glyphs_->face()->natural_width(h) : std::max(1, h / 2);
    w = std::min(w, max_cell);
    if (w == cell_width_ && h == cell_height_) return 0;
    cell_width_ = w;
    cell_height_ = h;
    glyphs_ = glyph_cache(source_, w, h);
    return 0;
}

std::string Font::face_name() const { return glyphs_->face() ? glyphs_->face()->family() : "builtin"; }

int draw_text(Surface& surface, const Font& font, int32_t x, int32_t y, std::string_view text, uint32_t fg,
              int32_t bg, TextEncoding encoding) {
    if (text.empty()) return 0;
    if (surface.empty()) return -1;
    fg &= 0xFFFFFF;
    int64_t left = x;
    for (const Character& character : decode_text(text, encoding)) {
        const Box cells{left, y, left + int64_t(character.cells) * font.cell_width_, int64_t(y) + font.cell_height_};
        left = cells.right;
        if (cells.left >= surface.width()) break;
        if (off_surface(surface, cells)) continue;
        if (bg != -1) fill_cells(surface, cells, uint32_t(bg) & 0xFFFFFF);
        paint_glyph(surface, cells, font.glyphs_->glyph(character.code, character.cells), fg);
    }
    return 0;
}

int64_t text_cells(std::string_view text, TextEncoding encoding) {
    int64_t cells = 0;
    for (const Character& character : decode_text(text, encoding)) cells += character.cells;
    return cells;
}

}  // namespace zov
