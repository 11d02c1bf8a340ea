// libX11, opened when a window on an X display first reads the pointer: the server is
// asked directly, since SDL's own mouse state lags behind.
#pragma once
#include <X11/Xlib.h>

#include "zov/shared_library.h"

namespace zov {

struct X11Library {
    ZOV_LIBRARY_FUNCTION(XQueryPointer)
};

// Null when libX11.so.6 cannot be opened or lacks the function.
const X11Library* x11_library();

}  // namespace zov
