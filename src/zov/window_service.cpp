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
#include <condition_variable>
#include <deque>
#include <future>
#include <thread>
#include <unordered_map>

#include "zov/diagnostics.h"
#include "zov/sdl_library.h"
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
};

struct OpenRequest {
    std::shared_ptr<WindowState> state;
    int width;
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

    bool open(OpenRequest request, std::string& failure);
    void post(Request request);
    // Called at exit: stops the thread between two turns, waiting at most a moment.
    void park();

private:
    bool start(std::string& failure);
    void run(std::promise<std::string>& started);
    void take_requests();
    void carry_out(const Request& request);
    void create(OpenRequest& request);
    void handle(const SDL_Event& event);
    void repaint(GuiWindow& gui);
    void end_drag(GuiWindow& gui);
    void poll_pointer();
    GuiWindow* find(const WindowState* state);
    GuiWindow* find(Uint32 window_id);

    std::mutex open_lock_;  // one opening at a time
    std::mutex queue_lock_;
    std::deque<Request> requests_;
    std::deque<OpenRequest> opens_;
    bool started_ = false;
    std::string start_failure_;

    std::atomic<bool> stopping_{false};
    std::mutex park_lock_;
    std::condition_variable parked_signal_;
    bool parked_ = false;

    // GUI thread only.
    std::unordered_map<Uint32, GuiWindow> windows_;
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

bool Service::open(OpenRequest request, std::string& failure) {
    std::lock_guard guard(open_lock_);
    if (!start(failure)) return false;
    std::future<std::string> done = request.done.get_future();
    const std::shared_ptr<WindowState> state = request.state;
    {
        std::lock_guard queue_guard(queue_lock_);
        opens_.push_back(std::move(request));
    }
    if (done.wait_for(kOpenWait) != std::future_status::ready) {
        // Should it come late, the window goes again at once.
        post({RequestKind::Destroy, state, 0, 0});
        failure = "no window within the time allowed";
        return false;
    }
    failure = done.get();
    return failure.empty();
}

void Service::park() {
    stopping_ = true;
    std::unique_lock lock(park_lock_);
    parked_signal_.wait_for(lock, std::chrono::milliseconds(500), [this] { return parked_; });
}

void Service::post(Request request) {
    std::lock_guard guard(queue_lock_);
    requests_.push_back(std::move(request));
}

void Service::run(std::promise<std::string>& started) {
    sdl().SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    sdl().SDL_SetHint(SDL_HINT_WINDOW_NO_ACTIVATION_WHEN_SHOWN, "1");
    sdl().SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    sdl().SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // Only the display that is named: not a fall-back to some other video driver.
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (!wayland || !*wayland) sdl().SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    if (sdl().SDL_Init(SDL_INIT_VIDEO) != 0) {
        started.set_value(std::string("SDL_Init: ") + sdl().SDL_GetError());
        return;
    }
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
    {
        std::lock_guard guard(park_lock_);
        parked_ = true;
    }
    parked_signal_.notify_all();
    for (;;) pause();  // signals are blocked here: the process's end ends the wait
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

// The terminal's window is not known, so windows open right of the middle of the
// usable screen, cascading by their number, kept inside that area where they fit.
SDL_Point placement(int number, int width, int height) {
    SDL_Rect usable{0, 0, 1024, 768};
    sdl().SDL_GetDisplayUsableBounds(0, &usable);
    int x = usable.x + usable.w / 2 - 100 + 16 * number;
    int y = usable.y + 16 * number;
    x = std::max(usable.x, std::min(x, usable.x + usable.w - width));
    y = std::max(usable.y, std::min(y, usable.y + usable.h - height));
    return {x, y};
}

void Service::create(OpenRequest& request) {
    const SDL_Point at = placement(request.state->number, request.width, request.height);
    SDL_Window* window =
        sdl().SDL_CreateWindow(request.title.c_str(), at.x, at.y, request.width, request.height, SDL_WINDOW_HIDDEN);
    if (!window) {
        request.done.set_value(std::string("SDL_CreateWindow: ") + sdl().SDL_GetError());
        return;
    }
    sdl().SDL_ShowWindow(window);
    if (!sdl().SDL_GetWindowSurface(window)) {
        const std::string failure = std::string("SDL_GetWindowSurface: ") + sdl().SDL_GetError();
        sdl().SDL_DestroyWindow(window);
        request.done.set_value(failure);
        return;
    }
    GuiWindow& gui = windows_[sdl().SDL_GetWindowID(window)];
    gui.state = request.state;
    gui.window = window;
    repaint(gui);
    request.done.set_value({});
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
    GuiWindow* gui = find(request.state.get());
    if (!gui) return;
    SDL_Window* window = gui->window;
    switch (request.kind) {
        case RequestKind::Resize: sdl().SDL_SetWindowSize(window, request.a, request.b); break;
        case RequestKind::Show:
            sdl().SDL_ShowWindow(window);
            repaint(*gui);
            break;
        case RequestKind::Hide:
            end_drag(*gui);
            sdl().SDL_HideWindow(window);
            break;
        case RequestKind::Move: {
            int top = 0, left = 0;
            sdl().SDL_GetWindowBordersSize(window, &top, &left, nullptr, nullptr);
            sdl().SDL_SetWindowPosition(window, request.a + left, request.b + top);
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
    }
}

// The usual window format, 32-bit 0xAARRGGBB, written directly: SDL's general
// conversion from 24 bits takes several times as long.
void copy_row_to_xrgb(const uint8_t* bgr, uint32_t* out, int width) {
    for (int x = 0; x < width; ++x, bgr += 3)
        out[x] = 0xFF000000u | uint32_t(bgr[2]) << 16 | uint32_t(bgr[1]) << 8 | bgr[0];
}

// Converts the backing store into the window's own pixels, bottom-up rows flipped.
void Service::repaint(GuiWindow& gui) {
    SDL_Surface* target = sdl().SDL_GetWindowSurface(gui.window);
    if (!target) {
        ZOV_REPORT(std::string("SDL_GetWindowSurface: ") + sdl().SDL_GetError());
        return;
    }
    WindowState& state = *gui.state;
    {
        std::lock_guard guard(state.lock);
        state.repaint_pending = false;
        if (SDL_MUSTLOCK(target)) sdl().SDL_LockSurface(target);
        const int width = std::min(target->w, state.backing_width);
        const int height = std::min(target->h, state.backing_height);
        const bool xrgb = target->format->format == SDL_PIXELFORMAT_RGB888 ||
                          target->format->format == SDL_PIXELFORMAT_ARGB8888;
        for (int y = 0; y < height; ++y) {
            const uint8_t* source = state.backing.data() + std::size_t(state.backing_height - 1 - y) * state.backing_stride;
            auto* row = static_cast<uint8_t*>(target->pixels) + std::size_t(y) * target->pitch;
            if (xrgb)
                copy_row_to_xrgb(source, reinterpret_cast<uint32_t*>(row), width);
            else
                sdl().SDL_ConvertPixels(width, 1, SDL_PIXELFORMAT_BGR24, source, int(state.backing_stride),
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
    SDL_VERSION(&info.version);
    const bool on_x11 = sdl().SDL_GetWindowWMInfo(gui.window, &info) && info.subsystem == SDL_SYSWM_X11;
    if (const X11Library* x11 = on_x11 ? x11_library() : nullptr) {
        ::Window root, child;
        int root_x, root_y, x, y;
        unsigned int mask;
        if (x11->XQueryPointer(info.info.x11.display, info.info.x11.window, &root, &child, &root_x, &root_y, &x, &y,
                               &mask)) {
            state.pointer_x = x;
            state.pointer_y = y;
            state.left_down = (mask & Button1Mask) != 0;
            state.right_down = (mask & Button3Mask) != 0;
        }
        return;
    }
    int x = 0, y = 0, left = 0, top = 0;
    const Uint32 buttons = sdl().SDL_GetGlobalMouseState(&x, &y);
    sdl().SDL_GetWindowPosition(gui.window, &left, &top);
    state.pointer_x = x - left;
    state.pointer_y = y - top;
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

void Service::handle(const SDL_Event& event) {
    switch (event.type) {
        case SDL_WINDOWEVENT: {
            GuiWindow* gui = find(event.window.windowID);
            if (!gui) return;
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
                // The user's close only hides the window.
                end_drag(*gui);
                gui->state->hidden = true;
                sdl().SDL_HideWindow(gui->window);
            } else if (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                       event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                repaint(*gui);
            }
            return;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            GuiWindow* gui = find(event.button.windowID);
            if (!gui) return;
            MouseCounters& mouse = gui->state->mouse;
            const bool down = event.type == SDL_MOUSEBUTTONDOWN;
            if (down && is_double_click(event.button.clicks)) return;
            if (event.button.button == SDL_BUTTON_LEFT && down) {
                const bool was_captured = gui->captured;
                left_pressed(mouse, gui->captured, event.button.x, event.button.y);
                if (!was_captured) sdl().SDL_CaptureMouse(SDL_TRUE);
            } else if (event.button.button == SDL_BUTTON_LEFT) {
                if (gui->captured) sdl().SDL_CaptureMouse(SDL_FALSE);
                left_released(mouse, gui->captured, event.button.x, event.button.y);
            } else if (event.button.button == SDL_BUTTON_RIGHT && down) {
                right_pressed(mouse);
            } else if (event.button.button == SDL_BUTTON_MIDDLE && down) {
                wheel_pressed(mouse);
            }
            return;
        }
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

bool service_open(const std::shared_ptr<WindowState>& state, int width, int height, const std::string& title,
                  std::string& failure) {
    return Service::instance().open({state, width, height, title, {}}, failure);
}

void service_post(RequestKind kind, const std::shared_ptr<WindowState>& state, int a, int b) {
    Service::instance().post({kind, state, a, b});
}


}  // namespace zov
