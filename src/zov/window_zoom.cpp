// Choosing the zoom from the environment and the display.
#include "zov/window_zoom.h"

#include <cmath>
#include <cstdlib>

namespace zov {

namespace {

constexpr float kPlainDpi = 96.0f;

int rounded_zoom(double scale) {
    const long rounded = std::lround(scale);
    return rounded < 1 ? 1 : rounded > kLargestZoom ? kLargestZoom : int(rounded);
}

// A desktop scale such as "2" or "1.5" as a zoom, or 0 when the text names none.
int scale_of(const char* text) {
    if (!text || !*text) return 0;
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (*end != '\0' || !std::isfinite(value) || value <= 0) return 0;
    return rounded_zoom(value);
}

bool names_zoom(const char* text) {
    if (!text || !*text) return false;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    return *end == '\0' && value >= 1 && value <= kLargestZoom;
}

}  // namespace

int zoom_for(const char* requested, const char* gdk_scale, const char* qt_scale, float dpi) {
    if (names_zoom(requested)) return int(std::strtol(requested, nullptr, 10));
    if (const int scale = scale_of(gdk_scale)) return scale;
    if (const int scale = scale_of(qt_scale)) return scale;
    return dpi > 0 ? rounded_zoom(dpi / kPlainDpi) : 1;
}

}  // namespace zov
