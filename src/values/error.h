// The error-message buffer. Every operation that fails records its message here (the
// first message since the last clear wins) and returns -1; callers pass the -1 upward
// without adding a message of their own. Each interpreter has its own buffer; the
// functions below use that of the interpreter entered on this thread (a vm_error::Scope),
// or the process's own while none is.
#pragma once
#include <string_view>

#include "values/messages.h"

namespace vm_error {

constexpr int kFailed = -1;

// Records `message`, in the user's language (messages::localized), unless a message is
// already held, it is empty, or it does not fit the 256-byte buffer. Always returns -1
// so that `return fail("...")` reads naturally.
int fail(std::string_view message);

struct Buffer {
    char text[256] = {};
};

inline Buffer process_buffer;
inline constinit thread_local Buffer* current = &process_buffer;

// These run before every statement: one thread-local load and a byte.
[[gnu::always_inline]] inline void clear() { current->text[0] = '\0'; }
inline bool has_message() { return current->text[0] != '\0'; }
inline const char* message() { return current->text; }

// While one lives, `buffer` is the error buffer of this thread.
class Scope {
public:
    explicit Scope(Buffer& buffer) : previous_(current) { current = &buffer; }
    ~Scope() { current = previous_; }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

private:
    Buffer* previous_;
};

}  // namespace vm_error
