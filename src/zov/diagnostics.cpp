// ZOV_DEBUG diagnostics on standard error.
#include "zov/diagnostics.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace zov {

bool diagnostics_enabled() { return std::getenv("ZOV_DEBUG") != nullptr; }

void report_failure(int line, std::string_view text) {
    if (!diagnostics_enabled()) return;
    const std::string message(text);
    std::fprintf(stderr, "%s:%d %s\n", "ZOV/ZOV", line, message.c_str());
}

}  // namespace zov
