// The clipboard for pictures: the desktop's, as image/png through xclip (X11) or
// wl-copy/wl-paste (Wayland) when a display and the tool are there; otherwise one held
// inside the process, so copy and paste work headless too.
#pragma once
#include "zov/surface.h"

namespace clipboard {

void copy_picture(const zov::Surface& picture);
// False, with `picture` unchanged, when the clipboard holds no picture.
bool paste_picture(zov::Surface& picture);

}  // namespace clipboard
