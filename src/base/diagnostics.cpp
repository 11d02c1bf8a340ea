// ZOV_DEBUG diagnostics on standard error.
#include "base/diagnostics.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace base {
namespace {

std::string_view (*translation)(std::string_view) = nullptr;

}  // namespace

void set_diagnostic_translation(std::string_view (*translate)(std::string_view)) { translation = translate; }

bool diagnostics_enabled() { return std::getenv("ZOV_DEBUG") != nullptr; }

void report_failure(int line, std::string_view text) {
    if (!diagnostics_enabled()) return;
    const std::string message(translation ? translation(text) : text);
    std::fprintf(stderr, "%s:%d %s\n", "ZOV/ZOV", line, message.c_str());
}

}  // namespace base
