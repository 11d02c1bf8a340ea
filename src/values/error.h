// The process-wide error-message buffer. Every operation that fails records its
// message here (the first message since the last clear wins) and returns -1; callers
// pass the -1 upward without adding a message of their own.
#pragma once
#include <string_view>

namespace vm_error {

constexpr int kFailed = -1;

// Records `message` unless a message is already held, it is empty, or it does not fit
// the 256-byte buffer. Always returns -1 so that `return fail("...")` reads naturally.
int fail(std::string_view message);

// The buffer itself, for the inline tests below: they run before every statement.
inline char buffer[256];

inline void clear() { buffer[0] = '\0'; }
inline bool has_message() { return buffer[0] != '\0'; }
inline const char* message() { return buffer; }

}  // namespace vm_error
