// libX11, opened when a window on an X display first needs what SDL does not offer:
// the pointer asked of the server directly (SDL's own mouse state lags behind), a
// window shown without taking the keyboard focus, and the focus handed back to the
// terminal's window; and failures of the X connection that end no process.
#pragma once
#include <X11/Xlib.h>

#include "base/shared_library.h"

namespace zov {

#define ZOV_X11_FUNCTIONS(F)                                                                          \
    F(XQueryPointer) F(XInternAtom) F(XChangeProperty) F(XGetWindowProperty) F(XQueryTree) F(XFree) \
    F(XSendEvent) F(XSync) F(XSetErrorHandler) F(XSetIOErrorHandler) F(XSetIOErrorExitHandler)

struct X11Library {
    ZOV_X11_FUNCTIONS(ZOV_LIBRARY_FUNCTION)
};

// Null when libX11.so.6 cannot be opened or lacks one of the functions.
const X11Library* x11_library();

}  // namespace zov
