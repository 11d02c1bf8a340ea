// libfreetype, opened by the first text drawn in a window rather than at start-up.
#pragma once
#include <ft2build.h>
#include FT_FREETYPE_H

#include "base/shared_library.h"

namespace zov {

#define ZOV_FREETYPE_FUNCTIONS(F)                                                                    \
    F(FT_Init_FreeType) F(FT_Done_FreeType) F(FT_New_Face) F(FT_Done_Face) F(FT_Get_Char_Index)      \
    F(FT_Set_Char_Size) F(FT_Load_Glyph)

struct FreetypeLibrary {
    ZOV_FREETYPE_FUNCTIONS(ZOV_LIBRARY_FUNCTION)
};

// The functions of libfreetype.so.6, opened by the first call; null when it cannot be
// opened or lacks one of them (said under ZOV_DEBUG).
const FreetypeLibrary* freetype_library();

}  // namespace zov
