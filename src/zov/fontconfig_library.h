// libfontconfig, opened by the first text drawn in a window or the first page printed
// rather than at start-up.
#pragma once
#include <fontconfig/fontconfig.h>

#include "base/shared_library.h"

namespace zov {

#define ZOV_FONTCONFIG_FUNCTIONS(F)                                                                   \
    F(FcInit) F(FcNameParse) F(FcPatternCreate) F(FcPatternDestroy) F(FcPatternAddBool)               \
    F(FcPatternAddString) F(FcPatternAddInteger) F(FcPatternGetString) F(FcPatternGetInteger)         \
    F(FcPatternGetLangSet) F(FcLangSetHasLang) F(FcStrCmpIgnoreCase) F(FcConfigSubstitute)            \
    F(FcDefaultSubstitute) F(FcFontMatch) F(FcObjectSetBuild) F(FcObjectSetDestroy) F(FcFontList)     \
    F(FcFontSetDestroy)

struct FontconfigLibrary {
    ZOV_FONTCONFIG_FUNCTIONS(ZOV_LIBRARY_FUNCTION)
};

// The functions of libfontconfig.so.1, opened by the first call; null when it cannot
// be opened or lacks one of them (said under ZOV_DEBUG).
const FontconfigLibrary* fontconfig_library();

}  // namespace zov
