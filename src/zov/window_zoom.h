// How large a picture pixel shows on the screen: n x n screen pixels, one n for every
// window of the process. Pictures, sizes and the mouse count picture pixels; only the
// window system sees screen pixels.
#pragma once

namespace zov {

inline constexpr int kLargestZoom = 8;

// VELMORA_ZOOM when it names a whole number from 1 to 8; else the desktop's own scale,
// GDK_SCALE or QT_SCALE_FACTOR where set; else the display's DPI over 96. Any of them
// may be null (or 0 for the DPI: unknown); the result is rounded into 1 to 8.
int zoom_for(const char* requested, const char* gdk_scale, const char* qt_scale, float dpi);

// A screen coordinate as a picture coordinate: a screen pixel belongs to the picture
// pixel that covers it, also left of or above the window.
inline int picture_coordinate(int screen, int zoom) {
    return screen >= 0 ? screen / zoom : -((-screen + zoom - 1) / zoom);
}

}  // namespace zov
