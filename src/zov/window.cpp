// Window handles: the state every window keeps, and the requests a shown window
// sends to the GUI thread for each change. A headless window keeps the state only.
// Also what the desktop offers besides windows: whether there is one, an error box.
#include "zov/window.h"

#include <cstdlib>
#include <cstring>

#include "zov/sdl_library.h"
#include "zov/window_service.h"

namespace zov {

namespace {

bool named(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}

}  // namespace

bool display_available() {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver && std::strcmp(driver, "dummy") == 0) return false;
    return (named("DISPLAY") || named("WAYLAND_DISPLAY")) && sdl_library();
}

void show_error_box(const std::string& title, const std::string& text) {
    if (display_available())
        sdl_library()->SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), text.c_str(), nullptr);
}

Window::Window(std::shared_ptr<WindowState> state) : state_(std::move(state)) {}

Window::~Window() {
    if (!state_->headless) service_post(RequestKind::Destroy, state_);
}

void activate_terminal() {
    const char* named_window = std::getenv("WINDOWID");
    if (!named_window || !*named_window) return;
    char* end = nullptr;
    const unsigned long window = std::strtoul(named_window, &end, 0);
    if (*end == '\0' && window != 0) service_activate_terminal(window);
}

std::unique_ptr<Window> Window::open(int number, int width, int height, const std::string& title,
                                     std::string& failure) {
    auto state = display_available() ? service_open(number, width, height, title, failure)
                                     : std::make_shared<WindowState>(number, true, 1);
    if (!state) return nullptr;
    std::unique_ptr<Window> window(new Window(std::move(state)));
    window->width_ = width;
    window->height_ = height;
    window->title_ = title;
    return window;
}

bool Window::headless() const { return state_->headless; }

bool Window::hidden() const { return state_->hidden || lost(); }

bool Window::lost() const { return !headless() && service_display_lost(); }

bool Window::set_client_size(int width, int height) {
    if (!headless()) {
        const int64_t zoom = state_->zoom;
        if (width * zoom > kLargestWindowSide || height * zoom > kLargestWindowSide) return false;
        service_post(RequestKind::Resize, state_, width, height);
    }
    width_ = width;
    height_ = height;
    return true;
}

void Window::set_hidden(bool hidden) {
    state_->hidden = hidden;
    if (!headless()) service_post(hidden ? RequestKind::Hide : RequestKind::Show, state_);
}

void Window::move_to(int x, int y) {
    if (!headless()) service_post(RequestKind::Move, state_, x, y);
}

void Window::activate() {
    if (!headless()) service_post(RequestKind::Activate, state_);
}

void Window::present(const Surface& surface) {
    if (headless()) return;
    bool was_pending;
    {
        std::lock_guard guard(state_->lock);
        const auto bytes = surface.bytes();
        state_->backing.assign(bytes.begin(), bytes.end());
        state_->backing_width = surface.width();
        state_->backing_height = surface.height();
        state_->backing_stride = surface.stride();
        was_pending = state_->repaint_pending;
        state_->repaint_pending = true;
    }
    if (!was_pending) service_post(RequestKind::Repaint, state_);
}

MouseCounters& Window::mouse() { return state_->mouse; }

Pointer Window::pointer() const {
    if (headless()) return {};
    return {state_->pointer_x, state_->pointer_y, state_->left_down, state_->right_down};
}

}  // namespace zov
