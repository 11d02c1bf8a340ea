// The 256-byte first-message-wins error buffer.
#include "values/error.h"

#include <cstring>

namespace vm_error {

int fail(std::string_view text) {
    char* buffer = current->text;
    if (text.empty() || buffer[0] != '\0' || text.size() >= sizeof current->text) return kFailed;
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    return kFailed;
}

}  // namespace vm_error
