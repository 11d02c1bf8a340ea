// Finding the printer's face with fontconfig, opened by the first page printed.
#include "io/printer_font.h"

#include <cctype>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "zov/fontconfig_library.h"

namespace {

// Open once find_printer_face has looked: nothing here runs before it.
const zov::FontconfigLibrary& fc() { return *zov::fontconfig_library(); }

struct PatternFree {
    void operator()(FcPattern* pattern) const { fc().FcPatternDestroy(pattern); }
};
struct FontSetFree {
    void operator()(FcFontSet* set) const { fc().FcFontSetDestroy(set); }
};
struct ObjectSetFree {
    void operator()(FcObjectSet* set) const { fc().FcObjectSetDestroy(set); }
};
using Pattern = std::unique_ptr<FcPattern, PatternFree>;
using FontSet = std::unique_ptr<FcFontSet, FontSetFree>;

std::optional<FontFile> file_of(const FcPattern* font) {
    FcChar8* path = nullptr;
    if (fc().FcPatternGetString(font, FC_FILE, 0, &path) != FcResultMatch) return std::nullopt;
    int index = 0;
    fc().FcPatternGetInteger(font, FC_INDEX, 0, &index);
    return FontFile{reinterpret_cast<const char*>(path), index};
}

// The installed faces that `pattern` selects (fontconfig compares families without
// regard to case or blanks).
FontSet list_faces(FcPattern* pattern) {
    std::unique_ptr<FcObjectSet, ObjectSetFree> objects(
        fc().FcObjectSetBuild(FC_FAMILY, FC_FILE, FC_INDEX, FC_SPACING, FC_STYLE, nullptr));
    return FontSet(fc().FcFontList(nullptr, pattern, objects.get()));
}

std::optional<FontFile> face_named(const char* family) {
    Pattern pattern(fc().FcPatternCreate());
    fc().FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    const FontSet faces = list_faces(pattern.get());
    if (!faces || faces->nfont == 0) return std::nullopt;
    return file_of(faces->fonts[0]);
}

bool is_mincho(std::string_view family) {
    if (family.find("明朝") != std::string_view::npos) return true;
    std::string lower(family);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower.find("mincho") != std::string::npos;
}

// A Mincho face; one with fixed-width characters (like IPAMincho) before a
// proportional one, and the first family name in order when several remain.
std::optional<FontFile> mincho_face() {
    Pattern pattern(fc().FcPatternCreate());
    const FontSet faces = list_faces(pattern.get());
    if (!faces) return std::nullopt;
    const FcPattern* best = nullptr;
    std::string best_family;
    bool best_fixed = false;
    for (int i = 0; i < faces->nfont; ++i) {
        FcChar8* family = nullptr;
        if (fc().FcPatternGetString(faces->fonts[i], FC_FAMILY, 0, &family) != FcResultMatch) continue;
        const std::string name = reinterpret_cast<const char*>(family);
        if (!is_mincho(name)) continue;
        int spacing = FC_PROPORTIONAL;
        fc().FcPatternGetInteger(faces->fonts[i], FC_SPACING, 0, &spacing);
        const bool fixed = spacing != FC_PROPORTIONAL;
        if (!best || (fixed && !best_fixed) || (fixed == best_fixed && name < best_family)) {
            best = faces->fonts[i];
            best_family = name;
            best_fixed = fixed;
        }
    }
    return best ? file_of(best) : std::nullopt;
}

std::optional<FontFile> serif_face() {
    Pattern pattern(fc().FcNameParse(reinterpret_cast<const FcChar8*>("serif")));
    fc().FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    fc().FcDefaultSubstitute(pattern.get());
    FcResult result;
    const Pattern match(fc().FcFontMatch(nullptr, pattern.get(), &result));
    return match ? file_of(match.get()) : std::nullopt;
}

}  // namespace

std::optional<FontFile> find_printer_face() {
    if (!zov::fontconfig_library() || !fc().FcInit()) return std::nullopt;
    if (const char* named = std::getenv("ZOV_MINCHO"); named && *named) {
        if (auto face = face_named(named)) return face;
    }
    if (auto face = mincho_face()) return face;
    return serif_face();
}
