// The GUI thread. It is started by the first window that opens and then runs for the
// life of the process: it waits for SDL events in 10 ms turns, carries out the queued
// requests, and polls the pointer. It is detached and its service is never destroyed.
// When the process exits, the thread is first parked outside SDL (a bounded wait),
// so that nothing it uses is torn down under it by the libraries' exit handlers.
#include "zov/window_service.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <condition_variable>
#include <deque>
#include <future>
#include <thread>
#include <unordered_map>

#include "base/diagnostics.h"
#include "zov/sdl_library.h"
#include "zov/window_zoom.h"
#include "zov/x11_desktop.h"
#include "zov/x11_library.h"

namespace zov {

namespace {

constexpr auto kOpenWait = std::chrono::seconds(10);
constexpr int kTurnMilliseconds = 10;

// A window is shown only where display_available() found libSDL2 opened.
const SdlLibrary& sdl() { return *sdl_library(); }

struct Request {
    RequestKind kind;
    std::shared_ptr<WindowState> state;
    int a = 0;
    int b = 0;
    unsigned long terminal = 0;  // the X window of ActivateTerminal
};

struct OpenRequest {
    std::shared_ptr<WindowState> state;
    int width;  // in picture pixels
    int height;
    std::string title;
    std::promise<std::string> done;  // empty text: the window is there
};

// A window as the GUI thread knows it.
struct GuiWindow {
    std::shared_ptr<WindowState> state;
    SDL_Window* window = nullptr;
    bool captured = false;
};

class Service {
public:
    static Service& instance() {
        static Service* service = new Service;  // never destroyed: the thread may outlive main
        return *service;
    }

    std::shared_ptr<WindowState> open(int number, int width, int height, const std::string& title,
                                      std::string& failure);
    void post(Request request);
    bool started() const { return started_; }
    bool display_lost() const { return display_lost_; }
    // Called at exit: stops the thread between two turns, waiting at most a moment.
    void park();

private:
    bool start(std::string& failure);
    void run(std::promise<std::string>& started);
    void keep_failures_from_ending_the_process(SDL_Window* window);
    static void forsake_display(Display*, void* service);
    void mark_parked();
    void take_requests();
    void carry_out(const Request& request);
    void create(OpenRequest& request);
    void show(GuiWindow& gui);
    void keep_on_screen(GuiWindow& gui);
    void activate_terminal(unsigned long terminal);
    void handle(const SDL_Event& event);
    void handle_window_event(const SDL_WindowEvent& event);
    void handle_button(const SDL_MouseButtonEvent& event);
    void repaint(GuiWindow& gui);
    void end_drag(GuiWindow& gui);
    void poll_pointer();
    GuiWindow* find(const WindowState* state);
    GuiWindow* find(Uint32 window_id);

    std::mutex open_lock_;  // one opening at a time
    std::mutex queue_lock_;
    std::deque<Request> requests_;
    std::deque<OpenRequest> opens_;
    std::atomic<bool> started_{false};
    std::string start_failure_;
    std::atomic<int> zoom_{1};  // set by the GUI thread before it reports its start

    std::atomic<bool> stopping_{false};
    std::atomic<bool> display_lost_{false};
    std::mutex park_lock_;
    std::condition_variable parked_signal_;
    bool parked_ = false;

    // GUI thread only.
    std::unordered_map<Uint32, GuiWindow> windows_;
    bool failures_kept_ = false;
};

bool Service::start(std::string& failure) {
    if (started_) {
        failure = start_failure_;
        return failure.empty();
    }
    started_ = true;
    auto started = std::make_shared<std::promise<std::string>>();
    std::future<std::string> result = started->get_future();
    // Signals stay with the interpreter thread: Ctrl-C must interrupt its reads.
    sigset_t all, previous;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &previous);
    try {
        std::thread([this, started] { run(*started); }).detach();
        std::atexit([] { Service::instance().park(); });
    } catch (const std::system_error& error) {
        start_failure_ = std::string("thread: ") + error.what();
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (start_failure_.empty()) {
        if (result.wait_for(kOpenWait) != std::future_status::ready)
            start_failure_ = "the window thread did not start";
        else
            start_failure_ = result.get();
    }
    failure = start_failure_;
    return failure.empty();
}

std::shared_ptr<WindowState> Service::open(int number, int width, int height, const std::string& title,
                                           std::string& failure) {
    std::lock_guard guard(open_lock_);
    if (!start(failure)) return nullptr;
    if (display_lost_) {
        failure = "the display is gone";
        return nullptr;
    }
    auto state = std::make_shared<WindowState>(number, false, zoom_);
    if (int64_t(width) * state->zoom > kLargestWindowSide || int64_t(height) * state->zoom > kLargestWindowSide) {
        failure = "larger than the window system allows";
        return nullptr;
    }
    OpenRequest request{state, width, height, title, {}};
    std::future<std::string> done = request.done.get_future();
    {
        std::lock_guard queue_guard(queue_lock_);
        opens_.push_back(std::move(request));
    }
    if (done.wait_for(kOpenWait) != std::future_status::ready) {
        // Should it come late, the window goes again at once.
        post({RequestKind::Destroy, state});
        failure = "no window within the time allowed";
        return nullptr;
    }
    failure = done.get();
    return failure.empty() ? state : nullptr;
}

void Service::park() {
    stopping_ = true;
    std::unique_lock lock(park_lock_);
    parked_signal_.wait_for(lock, std::chrono::milliseconds(500), [this] { return parked_; });
}

void Service::post(Request request) {
    if (display_lost_) return;  // nothing would take it
    std::lock_guard guard(queue_lock_);
    requests_.push_back(std::move(request));
}

void Service::run(std::promise<std::string>& started) {
    sdl().SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    sdl().SDL_SetHint(SDL_HINT_WINDOW_NO_ACTIVATION_WHEN_SHOWN, "1");
    sdl().SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    sdl().SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // The window's own pixels, not a renderer's texture: no window is made anew for
    // an OpenGL context, and nothing waits on a GPU.
    sdl().SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // Only the display that is named: not a fall-back to some other video driver.
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (!wayland || !*wayland) sdl().SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    if (sdl().SDL_Init(SDL_INIT_VIDEO) != 0) {
        started.set_value(std::string("SDL_Init: ") + sdl().SDL_GetError());
        return;
    }
    float dpi = 0;
    if (sdl().SDL_GetDisplayDPI(0, &dpi, nullptr, nullptr) != 0) dpi = 0;
    zoom_ = zoom_for(std::getenv("VELMORA_ZOOM"), std::getenv("GDK_SCALE"), std::getenv("QT_SCALE_FACTOR"), dpi);
    started.set_value({});
    while (!stopping_) {
        SDL_Event event;
        if (sdl().SDL_WaitEventTimeout(&event, kTurnMilliseconds)) {
            handle(event);
            while (sdl().SDL_PollEvent(&event)) handle(event);
        }
        take_requests();
        poll_pointer();
    }
    mark_parked();
    for (;;) pause();  // signals are blocked here: the process's end ends the wait
}

void Service::mark_parked() {
    {
        std::lock_guard guard(park_lock_);
        parked_ = true;
    }
    parked_signal_.notify_all();
}

// Called within the Xlib call that found the display gone (its server ended, or the
// SSH connection that carried it). Nothing can be shown any more, and SDL, were it
// to go on, could wait for ever for an event from it: the thread stops here instead.
// Every window then counts as closed, for good, and new ones are refused.
void Service::forsake_display(Display*, void* service) {
    Service& self = *static_cast<Service*>(service);
    self.display_lost_ = true;
    self.mark_parked();
    for (;;) pause();
}

void Service::take_requests() {
    std::deque<OpenRequest> opens;
    std::deque<Request> requests;
    {
        std::lock_guard guard(queue_lock_);
        opens.swap(opens_);
        requests.swap(requests_);
    }
    for (OpenRequest& open : opens) create(open);
    for (const Request& request : requests) carry_out(request);
}

SDL_Rect usable_bounds() {
    SDL_Rect usable{0, 0, 1024, 768};
    sdl().SDL_GetDisplayUsableBounds(0, &usable);
    return usable;
}

// A window of w x h screen pixels at (x, y), moved into the usable screen where it fits.
SDL_Point kept_inside(int x, int y, int width, int height) {
    const SDL_Rect usable = usable_bounds();
    x = std::max(usable.x, std::min(x, usable.x + usable.w - width));
    y = std::max(usable.y, std::min(y, usable.y + usable.h - height));
    return {x, y};
}

// The terminal's window is not known, so windows open right of the middle of the
// usable screen, cascading by their number.
SDL_Point placement(int number, int zoom, int width, int height) {
    const SDL_Rect usable = usable_bounds();
    return kept_inside(usable.x + usable.w / 2 + (16 * number - 100) * zoom, usable.y + 16 * number * zoom, width,
                       height);
}

bool x11_window_of(SDL_Window* window, SDL_SysWMinfo& info) {
    SDL_VERSION(&info.version);
    return sdl().SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11;
}

// SDL's connection is known by its first window.
void Service::keep_failures_from_ending_the_process(SDL_Window* window) {
    SDL_SysWMinfo info;
    if (failures_kept_ || !x11_window_of(window, info)) return;
    keep_x_failures_from_ending_the_process(info.info.x11.display, forsake_display, this);
    failures_kept_ = true;
}

void Service::create(OpenRequest& request) {
    const int zoom = request.state->zoom;
    const int width = request.width * zoom, height = request.height * zoom;
    const SDL_Point at = placement(request.state->number, zoom, width, height);
    SDL_Window* window = sdl().SDL_CreateWindow(request.title.c_str(), at.x, at.y, width, height, SDL_WINDOW_HIDDEN);
    if (!window) {
        request.done.set_value(std::string("SDL_CreateWindow: ") + sdl().SDL_GetError());
        return;
    }
    keep_failures_from_ending_the_process(window);
    // The surface first: making it may make the window anew, which must happen
    // before the window is marked and shown.
    if (!sdl().SDL_GetWindowSurface(window)) {
        const std::string failure = std::string("SDL_GetWindowSurface: ") + sdl().SDL_GetError();
        sdl().SDL_DestroyWindow(window);
        request.done.set_value(failure);
        return;
    }
    GuiWindow& gui = windows_[sdl().SDL_GetWindowID(window)];
    gui.state = request.state;
    gui.window = window;
    show(gui);
    request.done.set_value({});
}

// The console keeps the keyboard focus: the window is shown as one the user did not ask for.
void Service::show(GuiWindow& gui) {
    SDL_SysWMinfo info;
    if (x11_window_of(gui.window, info)) refuse_focus_when_shown(info.info.x11.display, info.info.x11.window);
    sdl().SDL_ShowWindow(gui.window);
    repaint(gui);
}

// A window grown by a new size or a loaded picture moves back onto the screen, frame
// and all.
void Service::keep_on_screen(GuiWindow& gui) {
    int x = 0, y = 0, width = 0, height = 0, top = 0, left = 0, bottom = 0, right = 0;
    sdl().SDL_GetWindowPosition(gui.window, &x, &y);
    sdl().SDL_GetWindowSize(gui.window, &width, &height);
    sdl().SDL_GetWindowBordersSize(gui.window, &top, &left, &bottom, &right);
    const SDL_Point outer = kept_inside(x - left, y - top, width + left + right, height + top + bottom);
    if (outer.x != x - left || outer.y != y - top) sdl().SDL_SetWindowPosition(gui.window, outer.x + left, outer.y + top);
}

void Service::activate_terminal(unsigned long terminal) {
    for (auto& [id, gui] : windows_) {
        SDL_SysWMinfo info;
        if (x11_window_of(gui.window, info)) activate_client_of(info.info.x11.display, terminal);
        return;
    }
}

GuiWindow* Service::find(const WindowState* state) {
    for (auto& [id, gui] : windows_)
        if (gui.state.get() == state) return &gui;
    return nullptr;
}

GuiWindow* Service::find(Uint32 window_id) {
    const auto found = windows_.find(window_id);
    return found == windows_.end() ? nullptr : &found->second;
}

void Service::carry_out(const Request& request) {
    if (request.kind == RequestKind::ActivateTerminal) return activate_terminal(request.terminal);
    GuiWindow* gui = find(request.state.get());
    if (!gui) return;
    SDL_Window* window = gui->window;
    const int zoom = gui->state->zoom;
    switch (request.kind) {
        case RequestKind::Resize: sdl().SDL_SetWindowSize(window, request.a * zoom, request.b * zoom); break;
        case RequestKind::Show: show(*gui); break;
        case RequestKind::Hide:
            end_drag(*gui);
            sdl().SDL_HideWindow(window);
            break;
        case RequestKind::Move: {
            int top = 0, left = 0;
            sdl().SDL_GetWindowBordersSize(window, &top, &left, nullptr, nullptr);
            sdl().SDL_SetWindowPosition(window, request.a * zoom + left, request.b * zoom + top);
            break;
        }
        case RequestKind::Activate:
            sdl().SDL_RestoreWindow(window);
            sdl().SDL_RaiseWindow(window);
            break;
        case RequestKind::Repaint: repaint(*gui); break;
        case RequestKind::Destroy: {
            const Uint32 id = sdl().SDL_GetWindowID(window);
            sdl().SDL_DestroyWindow(window);
            windows_.erase(id);  // `gui` goes with it
            break;
        }
        case RequestKind::ActivateTerminal: break;
    }
}

// One screen row in the usual window format, 32-bit 0xAARRGGBB, written directly
// (SDL's general conversion from 24 bits takes several times as long): each picture
// pixel `zoom` times, white past the picture's end, all white without a picture row.
void screen_row(const uint8_t* bgr, int picture_width, int zoom, uint32_t* out, int screen_width) {
    int x = 0;
    for (int picture_x = 0; bgr && picture_x < picture_width && x < screen_width; ++picture_x, bgr += 3) {
        const uint32_t pixel = 0xFF000000u | uint32_t(bgr[2]) << 16 | uint32_t(bgr[1]) << 8 | bgr[0];
        for (int i = 0; i < zoom && x < screen_width; ++i) out[x++] = pixel;
    }
    std::fill(out + x, out + screen_width, 0xFFFFFFFFu);
}

// Converts the backing store into the window's own pixels, bottom-up rows flipped,
// each picture row `zoom` screen rows; what the picture does not cover is white.
void Service::repaint(GuiWindow& gui) {
    SDL_Surface* target = sdl().SDL_GetWindowSurface(gui.window);
    if (!target) {
        ZOV_REPORT(std::string("SDL_GetWindowSurface: ") + sdl().SDL_GetError());
        return;
    }
    WindowState& state = *gui.state;
    const int zoom = state.zoom;
    const bool xrgb =
        target->format->format == SDL_PIXELFORMAT_RGB888 || target->format->format == SDL_PIXELFORMAT_ARGB8888;
    std::vector<uint32_t> converted(xrgb ? 0 : std::size_t(target->w));
    const std::size_t row_bytes = std::size_t(target->w) * target->format->BytesPerPixel;
    {
        std::lock_guard guard(state.lock);
        state.repaint_pending = false;
        if (SDL_MUSTLOCK(target)) sdl().SDL_LockSurface(target);
        for (int y = 0; y < target->h; ++y) {
            auto* row = static_cast<uint8_t*>(target->pixels) + std::size_t(y) * target->pitch;
            if (y % zoom != 0) {
                std::memcpy(row, row - target->pitch, row_bytes);
                continue;
            }
            const int picture_y = y / zoom;
            const uint8_t* source =
                picture_y < state.backing_height
                    ? state.backing.data() + std::size_t(state.backing_height - 1 - picture_y) * state.backing_stride
                    : nullptr;
            uint32_t* out = xrgb ? reinterpret_cast<uint32_t*>(row) : converted.data();
            screen_row(source, state.backing_width, zoom, out, target->w);
            if (!xrgb)
                sdl().SDL_ConvertPixels(target->w, 1, SDL_PIXELFORMAT_ARGB8888, out, target->w * 4,
                                        target->format->format, row, target->pitch);
        }
        if (SDL_MUSTLOCK(target)) sdl().SDL_UnlockSurface(target);
    }
    sdl().SDL_UpdateWindowSurface(gui.window);
}

// On X11 the server is asked directly: SDL's global mouse state is refreshed only by
// the input events it happens to see. Elsewhere, or without libX11, the global state
// serves.
void read_pointer(GuiWindow& gui) {
    WindowState& state = *gui.state;
    SDL_SysWMinfo info;
    const bool on_x11 = x11_window_of(gui.window, info);
    if (const X11Library* x11 = on_x11 ? x11_library() : nullptr) {
        ::Window root, child;
        int root_x, root_y, x, y;
        unsigned int mask;
        if (x11->XQueryPointer(info.info.x11.display, info.info.x11.window, &root, &child, &root_x, &root_y, &x, &y,
                               &mask)) {
            state.pointer_x = picture_coordinate(x, state.zoom);
            state.pointer_y = picture_coordinate(y, state.zoom);
            state.left_down = (mask & Button1Mask) != 0;
            state.right_down = (mask & Button3Mask) != 0;
        }
        return;
    }
    int x = 0, y = 0, left = 0, top = 0;
    const Uint32 buttons = sdl().SDL_GetGlobalMouseState(&x, &y);
    sdl().SDL_GetWindowPosition(gui.window, &left, &top);
    state.pointer_x = picture_coordinate(x - left, state.zoom);
    state.pointer_y = picture_coordinate(y - top, state.zoom);
    state.left_down = (buttons & SDL_BUTTON_LMASK) != 0;
    state.right_down = (buttons & SDL_BUTTON_RMASK) != 0;
}

// A drag cut short (the window hidden while the button is held) ends where it is.
void Service::end_drag(GuiWindow& gui) {
    if (!gui.captured) return;
    read_pointer(gui);
    left_released(gui.state->mouse, gui.captured, gui.state->pointer_x, gui.state->pointer_y);
    sdl().SDL_CaptureMouse(SDL_FALSE);
}

void Service::handle_window_event(const SDL_WindowEvent& event) {
    GuiWindow* gui = find(event.windowID);
    if (!gui) return;
    if (event.event == SDL_WINDOWEVENT_CLOSE) {
        // The user's close only hides the window.
        end_drag(*gui);
        gui->state->hidden = true;
        sdl().SDL_HideWindow(gui->window);
    } else if (event.event == SDL_WINDOWEVENT_EXPOSED) {
        repaint(*gui);
    } else if (event.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        // Only a program resizes these windows; its frame is known by now.
        keep_on_screen(*gui);
        repaint(*gui);
    }
}

void Service::handle_button(const SDL_MouseButtonEvent& event) {
    GuiWindow* gui = find(event.windowID);
    if (!gui) return;
    MouseCounters& mouse = gui->state->mouse;
    const bool down = event.type == SDL_MOUSEBUTTONDOWN;
    if (down && is_double_click(event.clicks)) return;
    const int x = picture_coordinate(event.x, gui->state->zoom);
    const int y = picture_coordinate(event.y, gui->state->zoom);
    if (event.button == SDL_BUTTON_LEFT && down) {
        const bool was_captured = gui->captured;
        left_pressed(mouse, gui->captured, x, y);
        if (!was_captured) sdl().SDL_CaptureMouse(SDL_TRUE);
    } else if (event.button == SDL_BUTTON_LEFT) {
        if (gui->captured) sdl().SDL_CaptureMouse(SDL_FALSE);
        left_released(mouse, gui->captured, x, y);
    } else if (event.button == SDL_BUTTON_RIGHT && down) {
        right_pressed(mouse);
    } else if (event.button == SDL_BUTTON_MIDDLE && down) {
        wheel_pressed(mouse);
    }
}

void Service::handle(const SDL_Event& event) {
    switch (event.type) {
        case SDL_WINDOWEVENT: return handle_window_event(event.window);
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: return handle_button(event.button);
        case SDL_MOUSEWHEEL: {
            GuiWindow* gui = find(event.wheel.windowID);
            if (!gui || event.wheel.y == 0) return;
            const int forward = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
            wheel_turned(gui->state->mouse, forward);
            return;
        }
        default: return;
    }
}

void Service::poll_pointer() {
    for (auto& [id, gui] : windows_) read_pointer(gui);
}

}  // namespace

std::shared_ptr<WindowState> service_open(int number, int width, int height, const std::string& title,
                                          std::string& failure) {
    return Service::instance().open(number, width, height, title, failure);
}

void service_post(RequestKind kind, const std::shared_ptr<WindowState>& state, int a, int b) {
    Service::instance().post({kind, state, a, b});
}

bool service_display_lost() { return Service::instance().display_lost(); }

void service_activate_terminal(unsigned long window) {
    Service& service = Service::instance();
    if (service.started()) service.post({RequestKind::ActivateTerminal, nullptr, 0, 0, window});
}

}  // namespace zov
