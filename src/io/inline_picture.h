// A picture written into the terminal's own output in one of the inline protocols,
// scaled down to fit the terminal's width: never enlarged, so where the terminal
// reports the size of its cells in pixels a picture pixel is at most a screen pixel.
#pragma once
#include <string>

#include "io/terminal_graphics.h"
#include "zov/surface.h"

struct PictureFit {
    int width = 0;  // the picture as shown, in pixels
    int height = 0;
    int columns = 0;  // the cells it covers
    int rows = 0;
    bool scaled = false;
};

// Where the terminal does not report its cells they are taken as 8 x 16 pixels.
PictureFit fit_picture(int width, int height, const TerminalCells& cells);

// The bytes that show the picture, leaving the cursor at the start of the line below
// it; empty when they cannot be made (a library missing, memory short).
std::string inline_picture(const zov::Surface& picture, InlineProtocol protocol, const TerminalCells& cells);

// The picture as a PNG file (8-bit RGB), as kitty and iTerm2 carry it; empty when
// libpng is missing.
std::string png_file(const zov::Surface& picture);
