// The one FreeType face that all fonts share, found once per process, and monochrome
// glyph rendering from it.
#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct FT_LibraryRec_;
struct FT_FaceRec_;

namespace zov {

// A rendered glyph: one byte per pixel (0 or 1), placed relative to the top-left
// corner of its cells.
struct GlyphImage {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<uint8_t> pixels;
};

class FontFace {
public:
    // The default face (see font.h for the order of the search), or null when no font
    // file can be loaded and text falls back to the built-in font.
    static FontFace* shared();

    const std::string& family() const { return family_; }
    // The half-width cell width that goes with a cell height.
    int natural_width(int cell_height) const;
    // Renders `code` into `cells` cells of cell_width x cell_height pixels side by side;
    // false when the face has no glyph for it or cannot render it.
    bool render(char32_t code, int cells, int cell_width, int cell_height, GlyphImage& image);

private:
    struct LibraryRelease {
        void operator()(FT_LibraryRec_* library) const;
    };
    struct FaceRelease {
        void operator()(FT_FaceRec_* face) const;
    };
    FontFace(std::unique_ptr<FT_LibraryRec_, LibraryRelease> library, std::unique_ptr<FT_FaceRec_, FaceRelease> face,
             std::string family);
    static std::unique_ptr<FontFace> load(const std::string& path, int index, const std::string& family);
    static std::unique_ptr<FontFace> find();

    std::unique_ptr<FT_LibraryRec_, LibraryRelease> library_;
    std::unique_ptr<FT_FaceRec_, FaceRelease> face_;
    std::string family_;
    // Design units: the line from ascender to descender, and a half-width advance.
    long line_height_ = 1, ascender_ = 1, half_advance_ = 1;
    std::mutex mutex_;
};

}  // namespace zov
