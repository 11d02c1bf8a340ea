// Diagnostics of the drawing layer and the image files. They are for whoever debugs
// the library: silent unless the environment variable ZOV_DEBUG is set, and then one
// line "ZOV/ZOV:<line> <text>" on standard error. Callers still return -1 as usual.
#pragma once
#include <string_view>

namespace base {

bool diagnostics_enabled();
void report_failure(int line, std::string_view text);

// Diagnostics are shown in the user's language through `translate`, once it is set
// (at start-up, before any other thread runs); as written until then.
void set_diagnostic_translation(std::string_view (*translate)(std::string_view));

}  // namespace base

#define ZOV_REPORT(text) ::base::report_failure(__LINE__, (text))
