// Opening libpng once, on first use.
#include "imagefile/png_library.h"

namespace imagefile {

const PngLibrary* png_library() {
    return base::library_table<PngLibrary>("libpng16.so.16", [](base::SharedLibrary& library, PngLibrary& table) {
        IMAGEFILE_PNG_FUNCTIONS(ZOV_FIND_FUNCTION)
    });
}

}  // namespace imagefile
