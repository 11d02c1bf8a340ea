// Whether anything waits to be done between two statements: a Ctrl-C to act on, output
// to flush, windows to refresh. Both dispatchers test this one word before every
// statement, so that a program pays next to nothing for those steps while nothing
// waits. The word belongs to the process, as the signal does: every interpreter counts
// its waiting work into it, and one that finds another's work only takes a longer look.
#pragma once
#include <atomic>
#include <cstdint>

namespace attention {

inline constexpr uint32_t kBreak = 1;    // Ctrl-C, set by the signal handler
inline constexpr uint32_t kWaiting = 2;  // one unit of waiting work, counted above the break bit

// Lock-free, so that the signal handler may set its bit.
inline std::atomic<uint32_t> word{0};
static_assert(std::atomic<uint32_t>::is_always_lock_free);

inline bool any() { return word.load(std::memory_order_relaxed) != 0; }

// One kind of work that waits (or not), counted in the word while it waits.
class Waiting {
public:
    Waiting() = default;
    ~Waiting() { stop(); }
    Waiting(const Waiting&) = delete;
    Waiting& operator=(const Waiting&) = delete;

    void start() {
        if (active_) return;
        active_ = true;
        word.fetch_add(kWaiting, std::memory_order_relaxed);
    }
    void stop() {
        if (!active_) return;
        active_ = false;
        word.fetch_sub(kWaiting, std::memory_order_relaxed);
    }
    bool active() const { return active_; }

private:
    bool active_ = false;
};

}  // namespace attention
