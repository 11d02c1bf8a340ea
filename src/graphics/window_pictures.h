// The windows' pictures for a viewer that shows them somewhere other than on a
// desktop (inline in the terminal, or in a notebook after each cell): which windows
// changed since the viewer last showed them, and each one's picture and title.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "zov/surface.h"

class C_VMBAS;

struct WindowPicture {
    int32_t number;
    const zov::Surface* picture;  // valid until the program goes on
    std::string title;
};

// The open windows, not hidden, whose picture changed since it was last taken, in
// window-number order; taking them counts them as shown. A window only read from, or
// drawn into and left as it was, has not changed.
std::vector<WindowPicture> changed_pictures(C_VMBAS& vm);
