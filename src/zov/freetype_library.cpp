// Opening libfreetype once, on first use.
#include "zov/freetype_library.h"

namespace zov {

const FreetypeLibrary* freetype_library() {
    return base::library_table<FreetypeLibrary>("libfreetype.so.6", [](base::SharedLibrary& library, FreetypeLibrary& table) {
        ZOV_FREETYPE_FUNCTIONS(ZOV_FIND_FUNCTION)
    });
}

}  // namespace zov
