// Opening libX11 once, on first use.
#include "zov/x11_library.h"

#include <optional>

namespace zov {

namespace {

std::optional<X11Library> open_x11() {
    SharedLibrary library("libX11.so.6");
    X11Library table;
    ZOV_FIND_FUNCTION(XQueryPointer)
    if (!library.complete()) return std::nullopt;
    return table;
}

}  // namespace

const X11Library* x11_library() {
    static const std::optional<X11Library> x11 = open_x11();
    return x11 ? &*x11 : nullptr;
}

}  // namespace zov
