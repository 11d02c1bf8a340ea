// Fonts and text (being written: text draws nothing for now).
#include "zov/font.h"

namespace zov {

class GlyphCache {};

Font::Font(Source source) : source_(source) {}
int Font::set_size(int32_t, int32_t) { return -1; }
std::string Font::face_name() const { return "builtin"; }

int draw_text(Surface&, const Font&, int32_t, int32_t, std::string_view, uint32_t, int32_t, TextEncoding) {
    return -1;
}
int64_t text_cells(std::string_view text, TextEncoding) { return int64_t(text.size()); }

}  // namespace zov
