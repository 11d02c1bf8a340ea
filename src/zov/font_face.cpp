// Finding the default face with fontconfig and rendering its glyphs with FreeType, both
// opened when the first text is drawn.
#include "zov/font_face.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "base/diagnostics.h"
#include "zov/fontconfig_library.h"
#include "zov/freetype_library.h"

namespace zov {
namespace {

// Both are open once a face exists: find() makes sure of it before anything else.
const FontconfigLibrary& fc() { return *fontconfig_library(); }
const FreetypeLibrary& ft() { return *freetype_library(); }

struct PatternRelease {
    void operator()(FcPattern* pattern) const { fc().FcPatternDestroy(pattern); }
};
using Pattern = std::unique_ptr<FcPattern, PatternRelease>;

struct Match {
    std::string file, family;
    int index = 0;
};

enum class Require { SameFamily, Japanese, FixedPitch };

bool acceptable(FcPattern* request, FcPattern* match, Require require) {
    switch (require) {
    case Require::SameFamily: {
        FcChar8* wanted = nullptr;
        if (fc().FcPatternGetString(request, FC_FAMILY, 0, &wanted) != FcResultMatch) return true;
        FcChar8* family = nullptr;
        for (int i = 0; fc().FcPatternGetString(match, FC_FAMILY, i, &family) == FcResultMatch; ++i)
            if (fc().FcStrCmpIgnoreCase(family, wanted) == 0) return true;
        return false;
    }
    case Require::Japanese: {
        FcLangSet* languages = nullptr;
        return fc().FcPatternGetLangSet(match, FC_LANG, 0, &languages) == FcResultMatch &&
               fc().FcLangSetHasLang(languages, reinterpret_cast<const FcChar8*>("ja")) == FcLangEqual;
    }
    case Require::FixedPitch: {
        int spacing = FC_PROPORTIONAL;
        return fc().FcPatternGetInteger(match, FC_SPACING, 0, &spacing) == FcResultMatch && spacing >= FC_DUAL;
    }
    }
    return false;
}

bool match_pattern(const char* text, Require require, Match& found) {
    if (!fc().FcInit()) return false;
    Pattern request(fc().FcNameParse(reinterpret_cast<const FcChar8*>(text)));
    if (!request) return false;
    fc().FcPatternAddBool(request.get(), FC_SCALABLE, FcTrue);
    fc().FcConfigSubstitute(nullptr, request.get(), FcMatchPattern);
    fc().FcDefaultSubstitute(request.get());
    FcResult result = FcResultNoMatch;
    Pattern match(fc().FcFontMatch(nullptr, request.get(), &result));
    if (!match || !acceptable(request.get(), match.get(), require)) return false;
    FcChar8* file = nullptr;
    FcChar8* family = nullptr;
    if (fc().FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch) return false;
    fc().FcPatternGetInteger(match.get(), FC_INDEX, 0, &found.index);
    if (fc().FcPatternGetString(match.get(), FC_FAMILY, 0, &family) == FcResultMatch)
        found.family = reinterpret_cast<const char*>(family);
    found.file = reinterpret_cast<const char*>(file);
    return true;
}

// Advance of a half-width character in design units.
long half_width_advance(FT_Face face) {
    const FT_UInt zero = ft().FT_Get_Char_Index(face, '0');
    if (zero && ft().FT_Load_Glyph(face, zero, FT_LOAD_NO_SCALE) == 0 && face->glyph->advance.x > 0)
        return face->glyph->advance.x;
    return std::max<long>(1, face->units_per_EM / 2);
}

}  // namespace

void FontFace::LibraryRelease::operator()(FT_LibraryRec_* library) const { ft().FT_Done_FreeType(library); }
void FontFace::FaceRelease::operator()(FT_FaceRec_* face) const { ft().FT_Done_Face(face); }

FontFace::FontFace(std::unique_ptr<FT_LibraryRec_, LibraryRelease> library,
                   std::unique_ptr<FT_FaceRec_, FaceRelease> face, std::string family)
    : library_(std::move(library)), face_(std::move(face)), family_(std::move(family)) {
    FT_Face f = face_.get();
    line_height_ = f->ascender - f->descender > 0 ? f->ascender - f->descender : f->units_per_EM;
    ascender_ = f->ascender > 0 ? f->ascender : line_height_ * 7 / 8;
    half_advance_ = half_width_advance(f);
}

std::unique_ptr<FontFace> FontFace::load(const std::string& path, int index, const std::string& family) {
    FT_Library raw_library = nullptr;
    if (ft().FT_Init_FreeType(&raw_library) != 0) {
        ZOV_REPORT("FreeType cannot start");
        return nullptr;
    }
    std::unique_ptr<FT_LibraryRec_, LibraryRelease> library(raw_library);
    FT_Face raw_face = nullptr;
    if (ft().FT_New_Face(raw_library, path.c_str(), index, &raw_face) != 0) {
        ZOV_REPORT("cannot load font " + path);
        return nullptr;
    }
    std::unique_ptr<FT_FaceRec_, FaceRelease> face(raw_face);
    if (!FT_IS_SCALABLE(raw_face) || raw_face->units_per_EM == 0) {
        ZOV_REPORT("not a scalable font: " + path);
        return nullptr;
    }
    std::string name = family.empty() && raw_face->family_name ? raw_face->family_name : family;
    return std::unique_ptr<FontFace>(new FontFace(std::move(library), std::move(face), std::move(name)));
}

std::unique_ptr<FontFace> FontFace::find() {
    if (!fontconfig_library() || !freetype_library()) {
        ZOV_REPORT("no fontconfig or FreeType: text uses the built-in font");
        return nullptr;
    }
    Match match;
    const char* chosen = std::getenv("ZOV_GOTHIC");
    if (chosen && *chosen) {
        if (std::strchr(chosen, '/')) {
            if (auto face = load(chosen, 0, "")) return face;
        } else if (match_pattern(chosen, Require::SameFamily, match)) {
            if (auto face = load(match.file, match.index, match.family)) return face;
        }
    }
    if (match_pattern("monospace:lang=ja", Require::Japanese, match))
        if (auto face = load(match.file, match.index, match.family)) return face;
    if (match_pattern("monospace", Require::FixedPitch, match))
        if (auto face = load(match.file, match.index, match.family)) return face;
    ZOV_REPORT("no font file: text uses the built-in font");
    return nullptr;
}

FontFace* FontFace::shared() {
    static const std::unique_ptr<FontFace> face = find();
    return face.get();
}

int FontFace::natural_width(int cell_height) const {
    return std::max(1, int(std::lround(double(half_advance_) * cell_height / double(line_height_))));
}

bool FontFace::render(char32_t code, int cells, int cell_width, int cell_height, GlyphImage& image) {
    std::lock_guard lock(mutex_);
    FT_Face face = face_.get();
    const FT_UInt index = ft().FT_Get_Char_Index(face, code);
    if (index == 0) return false;
    const double y_scale = double(cell_height) / double(line_height_);
    const double x_scale = double(cell_width) / double(half_advance_);
    const auto em = [&](double scale) { return std::max<FT_F26Dot6>(64, std::lround(face->units_per_EM * scale * 64)); };
    if (ft().FT_Set_Char_Size(face, em(x_scale), em(y_scale), 72, 72) != 0) return false;
    if (ft().FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) != 0) return false;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    const double advance = double(slot->advance.x) / 64.0;
    image.left = int(std::lround((cells * cell_width - advance) / 2)) + slot->bitmap_left;
    image.top = int(std::lround(double(ascender_) * y_scale)) - slot->bitmap_top;
    image.width = int(bitmap.width);
    image.height = int(bitmap.rows);
    image.pixels.assign(std::size_t(image.width) * std::size_t(image.height), 0);
    for (int y = 0; y < image.height; ++y) {
        const unsigned char* row = bitmap.buffer + std::ptrdiff_t(y) * bitmap.pitch;
        for (int x = 0; x < image.width; ++x) {
            const bool on = bitmap.pixel_mode == FT_PIXEL_MODE_MONO ? (row[x >> 3] & (0x80 >> (x & 7))) != 0
                                                                    : row[x] >= 128;
            image.pixels[std::size_t(y) * std::size_t(image.width) + std::size_t(x)] = on;
        }
    }
    return true;
}

}  // namespace zov
