// Window manager requests through libX11 (EWMH), each guarded so that a window that
// is gone, or an id that names none, is an error of this request alone: Xlib's own
// handler would end the process.
#include "zov/x11_desktop.h"

#include <X11/Xatom.h>

#include <string>

#include "base/diagnostics.h"
#include "zov/x11_library.h"

namespace zov {

namespace {

bool request_failed = false;

int note_failure(Display*, XErrorEvent*) {
    request_failed = true;
    return 0;
}

int report_stray_error(Display*, XErrorEvent* error) {
    ZOV_REPORT("X error " + std::to_string(error->error_code) + " of request " +
               std::to_string(error->request_code) + " on " + std::to_string(error->resourceid));
    return 0;
}

// Returning hands the loss on to the display's exit handler.
int report_lost_connection(Display*) {
    ZOV_REPORT("the connection to the X display is lost");
    return 0;
}

// Runs `request` with X errors noted instead of fatal; true when none came.
template <typename Request>
bool guarded(const X11Library& x11, Display* display, Request request) {
    request_failed = false;
    XErrorHandler previous = x11.XSetErrorHandler(note_failure);
    request();
    x11.XSync(display, False);
    x11.XSetErrorHandler(previous);
    return !request_failed;
}

bool has_property(const X11Library& x11, Display* display, ::Window window, Atom property) {
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    const int status = x11.XGetWindowProperty(display, window, property, 0, 0, False, AnyPropertyType, &type, &format,
                                              &items, &after, &data);
    if (data) x11.XFree(data);
    return status == Success && type != None;
}

// The client window that holds `window`: the first one up the tree that the window
// manager manages (it has WM_STATE), else the top-level one.
::Window client_of(const X11Library& x11, Display* display, ::Window window) {
    const Atom wm_state = x11.XInternAtom(display, "WM_STATE", False);
    for (::Window current = window;;) {
        if (has_property(x11, display, current, wm_state)) return current;
        ::Window root = None, parent = None, *children = nullptr;
        unsigned int count = 0;
        if (!x11.XQueryTree(display, current, &root, &parent, &children, &count)) return None;
        if (children) x11.XFree(children);
        if (parent == root || parent == None) return current;
        current = parent;
    }
}

}  // namespace

void refuse_focus_when_shown(Display* display, ::Window window) {
    const X11Library* x11 = x11_library();
    if (!x11) return;
    guarded(*x11, display, [&] {
        const long never = 0;
        x11->XChangeProperty(display, window, x11->XInternAtom(display, "_NET_WM_USER_TIME", False), XA_CARDINAL, 32,
                             PropModeReplace, reinterpret_cast<const unsigned char*>(&never), 1);
    });
}

bool activate_client_of(Display* display, ::Window window) {
    const X11Library* x11 = x11_library();
    if (!x11) return false;
    ::Window client = None;
    if (!guarded(*x11, display, [&] { client = client_of(*x11, display, window); }) || client == None) {
        ZOV_REPORT("no window to activate");
        return false;
    }
    return guarded(*x11, display, [&] {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = client;
        event.xclient.message_type = x11->XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = 2;  // asked for by the user through a tool, as a pager does
        event.xclient.data.l[1] = CurrentTime;
        const ::Window root = DefaultRootWindow(display);
        x11->XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    });
}

void keep_x_failures_from_ending_the_process(Display* display, XIOErrorExitHandler lost, void* context) {
    const X11Library* x11 = x11_library();
    if (!x11) return;
    x11->XSetErrorHandler(report_stray_error);
    x11->XSetIOErrorHandler(report_lost_connection);
    x11->XSetIOErrorExitHandler(display, lost, context);
}

}  // namespace zov
