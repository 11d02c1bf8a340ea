// Opening libcairo once, on first use.
#include "io/cairo_library.h"

const CairoLibrary* cairo_library() {
    return base::library_table<CairoLibrary>("libcairo.so.2", [](base::SharedLibrary& library, CairoLibrary& table) {
        CAIRO_LIBRARY_FUNCTIONS(ZOV_FIND_FUNCTION)
    });
}
