// The 256-byte first-message-wins error buffer.
#include "values/error.h"

#include <cstring>

namespace vm_error {
namespace {
char buffer[256];
}

int fail(std::string_view text) {
    if (text.empty() || buffer[0] != '\0' || text.size() >= sizeof buffer) return kFailed;
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    return kFailed;
}

void clear() { buffer[0] = '\0'; }
bool has_message() { return buffer[0] != '\0'; }
const char* message() { return buffer; }

}  // namespace vm_error
