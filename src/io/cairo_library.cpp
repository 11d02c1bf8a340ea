// Opening libcairo once, on first use.
#include "io/cairo_library.h"

const CairoLibrary* cairo_library() {
    return zov::library_table<CairoLibrary>("libcairo.so.2", [](zov::SharedLibrary& library, CairoLibrary& table) {
        CAIRO_LIBRARY_FUNCTIONS(ZOV_FIND_FUNCTION)
    });
}
