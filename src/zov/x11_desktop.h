// What an X display's window manager is asked for beyond SDL: to show a window
// without handing it the keyboard focus, and to give the focus to another client's
// window, the terminal's; and X failures that end no process. Called on the GUI
// thread with SDL's own connection.
#pragma once
#include <X11/Xlib.h>

namespace zov {

// Marks the window as one the user has not asked for (_NET_WM_USER_TIME 0), which
// window managers take as "do not focus it when it is mapped".
void refuse_focus_when_shown(Display* display, ::Window window);

// Asks the window manager to activate the top-level window that holds `window` (an
// X window id as WINDOWID names it); false when there is no such window.
bool activate_client_of(Display* display, ::Window window);

// From now on an X error is reported as a diagnostic, and the loss of `display`'s
// connection calls `lost(display, context)`, where Xlib's handlers (and SDL's, which
// call them) would end the process. Windows go away
// under their clients: the window manager takes a frame down as soon as a window is
// hidden, while SDL may still be asking about it. And a display goes away with its
// server or the SSH connection that carried it, while the user's program lives on.
void keep_x_failures_from_ending_the_process(Display* display, XIOErrorExitHandler lost, void* context);

}  // namespace zov
