// Opening libcairo once, on first use.
#include "io/cairo_library.h"

#include <optional>

namespace {

std::optional<CairoLibrary> open_cairo() {
    zov::SharedLibrary library("libcairo.so.2");
    CairoLibrary table;
    CAIRO_LIBRARY_FUNCTIONS(ZOV_FIND_FUNCTION)
    if (!library.complete()) return std::nullopt;
    return table;
}

}  // namespace

const CairoLibrary* cairo_library() {
    static const std::optional<CairoLibrary> cairo = open_cairo();
    return cairo ? &*cairo : nullptr;
}
