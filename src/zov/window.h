// A fixed-size top-level window that shows a copy of a drawing surface and counts the
// mouse events inside it. Shown windows live on the one GUI thread (window_service);
// without a display a window is headless: it keeps the same state and shows nothing.
// Sizes, positions and the pointer count picture pixels; on the screen each is zoomed.
#pragma once
#include <memory>
#include <string>

#include "zov/surface.h"
#include "zov/window_mouse.h"

namespace zov {

struct WindowState;

// The pointer now, in a window's client pixels; buttons as physically pressed.
struct Pointer {
    int x = 0;
    int y = 0;
    bool left = false;
    bool right = false;
};

class Window {
public:
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Opens a window of w x h client pixels with its title, cascaded by `number`,
    // without taking the keyboard focus. Null with `failure` set when no window could
    // be made within a bounded wait, or the window system cannot show one that large.
    static std::unique_ptr<Window> open(int number, int width, int height, const std::string& title,
                                        std::string& failure);

    bool headless() const;
    int width() const { return width_; }
    int height() const { return height_; }
    const std::string& title() const { return title_; }
    // Hidden by the program or by the user's close request, or gone with its display.
    bool hidden() const;
    // Gone with its display: only a new window can be shown.
    bool lost() const;

    // False, with nothing changed, when the window system cannot show that size.
    bool set_client_size(int width, int height);
    void set_hidden(bool hidden);
    // Moves the outer top-left corner to screen position (x, y).
    void move_to(int x, int y);
    // Brings the window to the foreground.
    void activate();

    // Hands a copy of the whole surface to the window, which repaints from it.
    void present(const Surface& surface);

    MouseCounters& mouse();
    Pointer pointer() const;

private:
    explicit Window(std::shared_ptr<WindowState> state);

    std::shared_ptr<WindowState> state_;
    int width_ = 0;
    int height_ = 0;
    std::string title_;
};

// True when windows can be shown: a display is named, SDL_VIDEODRIVER is not "dummy"
// and libSDL2 could be opened (by the first call that gets that far).
bool display_available();

// Gives the keyboard focus back to the terminal's own window where the environment
// names it (WINDOWID, as xterm and others set it) and a window was ever shown.
void activate_terminal();

// An error box on the desktop for a failure the terminal may not show; nothing
// without a display.
void show_error_box(const std::string& title, const std::string& text);

}  // namespace zov
