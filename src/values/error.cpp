// The 256-byte first-message-wins error buffer.
#include "values/error.h"

#include <cstring>

#include "values/messages.h"

namespace vm_error {

int fail(std::string_view text) {
    char* buffer = current->text;
    if (text.empty() || buffer[0] != '\0') return kFailed;
    const std::string_view shown = messages::localized(text);
    if (shown.size() >= sizeof current->text) return kFailed;
    std::memcpy(buffer, shown.data(), shown.size());
    buffer[shown.size()] = '\0';
    return kFailed;
}

}  // namespace vm_error
