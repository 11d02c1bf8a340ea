// Opening libfontconfig once, on first use.
#include "zov/fontconfig_library.h"

namespace zov {

const FontconfigLibrary* fontconfig_library() {
    return base::library_table<FontconfigLibrary>("libfontconfig.so.1", [](base::SharedLibrary& library, FontconfigLibrary& table) {
        ZOV_FONTCONFIG_FUNCTIONS(ZOV_FIND_FUNCTION)
    });
}

}  // namespace zov
