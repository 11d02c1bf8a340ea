// Opening libpng once, on first use.
#include "imagefile/png_library.h"

namespace imagefile {

const PngLibrary* png_library() {
    return zov::library_table<PngLibrary>("libpng16.so.16", [](zov::SharedLibrary& library, PngLibrary& table) {
        IMAGEFILE_PNG_FUNCTIONS(ZOV_FIND_FUNCTION)
    });
}

}  // namespace imagefile
