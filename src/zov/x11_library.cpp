// Opening libX11 once, on first use.
#include "zov/x11_library.h"

namespace zov {

const X11Library* x11_library() {
    return base::library_table<X11Library>("libX11.so.6", [](base::SharedLibrary& library, X11Library& table) {
        ZOV_X11_FUNCTIONS(ZOV_FIND_FUNCTION)
    });
}

}  // namespace zov
