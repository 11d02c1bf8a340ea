// The inline picture protocols. kitty and iTerm2 carry the picture as a PNG file in
// base64, which the terminal scales; sixel images and block characters come from
// libchafa at the size shown.
#include "io/inline_picture.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>
#include <vector>

#include "base/diagnostics.h"
#include "imagefile/formats.h"
#include "imagefile/render.h"
#include "io/chafa_library.h"

namespace {

constexpr int kAssumedCellWidth = 8;
constexpr int kAssumedCellHeight = 16;
// kitty takes a picture in pieces of at most 4096 base64 bytes.
constexpr size_t kKittyChunk = 4096;
constexpr std::string_view kNextLine = "\n";

std::string base64(std::string_view bytes) {
    static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t left = bytes.size() - i;
        const uint32_t group = uint32_t(uint8_t(bytes[i])) << 16 | (left > 1 ? uint32_t(uint8_t(bytes[i + 1])) << 8 : 0) |
                               (left > 2 ? uint32_t(uint8_t(bytes[i + 2])) : 0);
        text += kDigits[group >> 18 & 63];
        text += kDigits[group >> 12 & 63];
        text += left > 1 ? kDigits[group >> 6 & 63] : '=';
        text += left > 2 ? kDigits[group & 63] : '=';
    }
    return text;
}

std::string formatted(const char* format, int a, int b) {
    char text[64];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

std::string kitty_picture(const std::string& png, const PictureFit& fit) {
    const std::string payload = base64(png);
    // q=2: the terminal sends no reply that would reach the keyboard input.
    std::string keys = "a=T,f=100,q=2,";
    if (fit.scaled) keys += formatted("c=%d,r=%d,", fit.columns, fit.rows);
    std::string out;
    for (size_t at = 0; at < payload.size(); at += kKittyChunk) {
        const bool more = at + kKittyChunk < payload.size();
        out += "\x1b_G" + (at == 0 ? keys : std::string()) + (more ? "m=1;" : "m=0;");
        out.append(payload, at, kKittyChunk);
        out += "\x1b\\";
    }
    return out + std::string(kNextLine);
}

std::string iterm_picture(const std::string& png, const PictureFit& fit) {
    std::string out = "\x1b]1337;File=inline=1;size=" + std::to_string(png.size());
    if (fit.scaled) out += formatted(";width=%dpx;height=%dpx", fit.width, fit.height);
    return out + ":" + base64(png) + "\a" + std::string(kNextLine);
}

// The rows top-down, as libchafa reads them.
std::vector<uint8_t> top_down_rows(const zov::Surface& picture) {
    const size_t row_bytes = size_t(picture.width()) * 3;
    std::vector<uint8_t> rows(row_bytes * size_t(picture.height()));
    for (int y = 0; y < picture.height(); ++y)
        std::copy_n(picture.row(y), row_bytes, rows.begin() + std::ptrdiff_t(row_bytes * size_t(y)));
    return rows;
}

template <typename T, typename Release>
std::unique_ptr<T, Release> owned(T* object, Release release) {
    return std::unique_ptr<T, Release>(object, release);
}

// A sixel image of exactly the size shown (cells of one pixel), or block characters
// over the cells shown, in 24-bit colour.
std::string chafa_picture(const zov::Surface& picture, const PictureFit& fit, bool sixel,
                          const TerminalCells& cells) {
    const ChafaLibrary* chafa = chafa_library();
    if (!chafa) return {};
    auto config = owned(chafa->chafa_canvas_config_new(), chafa->chafa_canvas_config_unref);
    chafa->chafa_canvas_config_set_canvas_mode(config.get(), CHAFA_CANVAS_MODE_TRUECOLOR);
    if (sixel) {
        chafa->chafa_canvas_config_set_pixel_mode(config.get(), CHAFA_PIXEL_MODE_SIXELS);
        chafa->chafa_canvas_config_set_cell_geometry(config.get(), 1, 1);
        chafa->chafa_canvas_config_set_geometry(config.get(), fit.width, fit.height);
    } else {
        auto symbols = owned(chafa->chafa_symbol_map_new(), chafa->chafa_symbol_map_unref);
        chafa->chafa_symbol_map_add_by_tags(
            symbols.get(), ChafaSymbolTags(CHAFA_SYMBOL_TAG_BLOCK | CHAFA_SYMBOL_TAG_SOLID | CHAFA_SYMBOL_TAG_SPACE));
        chafa->chafa_canvas_config_set_symbol_map(config.get(), symbols.get());
        // Not every terminal repeats a character when asked (REP).
        chafa->chafa_canvas_config_set_optimizations(config.get(), CHAFA_OPTIMIZATION_REUSE_ATTRIBUTES);
        chafa->chafa_canvas_config_set_cell_geometry(config.get(), cells.cell_width > 0 ? cells.cell_width : kAssumedCellWidth,
                                                     cells.cell_height > 0 ? cells.cell_height : kAssumedCellHeight);
        chafa->chafa_canvas_config_set_geometry(config.get(), fit.columns, fit.rows);
    }
    auto canvas = owned(chafa->chafa_canvas_new(config.get()), chafa->chafa_canvas_unref);
    const std::vector<uint8_t> rows = top_down_rows(picture);
    chafa->chafa_canvas_draw_all_pixels(canvas.get(), CHAFA_PIXEL_BGR8, rows.data(), picture.width(), picture.height(),
                                        picture.width() * 3);
    auto terminal = owned(chafa->chafa_term_db_get_fallback_info(chafa->chafa_term_db_get_default()),
                          chafa->chafa_term_info_unref);
    GString* printed = chafa->chafa_canvas_print(canvas.get(), terminal.get());
    std::string out(printed->str, printed->len);
    chafa->g_string_free(printed, TRUE);
    return out + (sixel ? "" : "\x1b[0m") + std::string(kNextLine);
}

}  // namespace

PictureFit fit_picture(int width, int height, const TerminalCells& cells) {
    const int cell_width = cells.cell_width > 0 ? cells.cell_width : kAssumedCellWidth;
    const int cell_height = cells.cell_height > 0 ? cells.cell_height : kAssumedCellHeight;
    const int64_t room = int64_t(cells.columns) * cell_width;
    PictureFit fit{width, height, 0, 0, width > room};
    if (fit.scaled) {
        fit.width = int(room);
        fit.height = std::max(1, int((int64_t(height) * room + width / 2) / width));
    }
    fit.columns = (fit.width + cell_width - 1) / cell_width;
    fit.rows = (fit.height + cell_height - 1) / cell_height;
    return fit;
}

std::string png_file(const zov::Surface& picture) {
    imagefile::Bytes png;
    if (!imagefile::write_png(imagefile::render(picture, 24), false, png)) return {};
    return std::string(png.begin(), png.end());
}

std::string inline_picture(const zov::Surface& picture, InlineProtocol protocol, const TerminalCells& cells) {
    if (picture.empty()) return {};
    const PictureFit fit = fit_picture(picture.width(), picture.height(), cells);
    try {
        switch (protocol) {
            case InlineProtocol::Kitty:
            case InlineProtocol::Iterm: {
                const std::string png = png_file(picture);
                if (png.empty()) return {};
                return protocol == InlineProtocol::Kitty ? kitty_picture(png, fit) : iterm_picture(png, fit);
            }
            case InlineProtocol::Sixel: return chafa_picture(picture, fit, true, cells);
            case InlineProtocol::Blocks: return chafa_picture(picture, fit, false, cells);
            case InlineProtocol::None:
            case InlineProtocol::Silent: return {};
        }
    } catch (const std::bad_alloc&) {
        ZOV_REPORT("メモリ不足");
    }
    return {};
}
