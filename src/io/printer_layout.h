// The printed page as a grid of character cells: its size from the settings and the
// page, and the cursor that places characters on it, wrapping at the last column and
// starting a new page when the last line is full.
#pragma once
#include "io/printer_profile.h"

// Pages are laid out in device pixels of a 600 dpi printer. The cell is that of a
// 13.44 pt face: 56 pixels across (a half-width character) and 112 down, so an A4
// page (4960 x 7015 pixels) holds 88 cells across and, with the default settings,
// 80 columns and 37 lines.
inline constexpr int kPrinterDpi = 600;
inline constexpr int kCellWidth = 56;
inline constexpr int kCellHeight = 112;

struct PageLayout {
    int cell_width = 0, cell_height = 0;
    int line_height = 0;  // cell height x LINESPC / 100
    int columns = 0;      // cells across between the margins
    int lines = 0;        // lines down between the margins
    int left_margin = 0;  // in cells
    int top_margin = 0;   // in lines

    // A page needs at least 8 columns and 2 lines.
    bool fits() const { return columns >= 8 && lines >= 2; }
    int x_of(int column) const { return (column + left_margin) * cell_width; }
    int y_of(int line) const { return (top_margin + line) * line_height; }
};

PageLayout make_page_layout(const PrinterSettings& settings, int page_width, int page_height,
                            int cell_width = kCellWidth, int cell_height = kCellHeight);

// Where a character goes: the top-left corner of its first cell in device pixels,
// and whether the page was full so that it begins a new one.
struct Placement {
    int x = 0, y = 0;
    bool new_page = false;
};

class PageCursor {
public:
    explicit PageCursor(const PageLayout& layout) : layout_(layout) {}

    // Places a character of `cells` cells (1, or 2 for a double-width one, which is
    // never split over two lines) and moves past it.
    Placement place(int cells);
    void line_feed() { column_ = 0, ++line_; }
    void carriage_return() { column_ = 0; }
    void back_space() { column_ = column_ > 0 ? column_ - 1 : 0; }
    void home() { column_ = 0, line_ = 0; }
    bool at_home() const { return column_ == 0 && line_ == 0; }
    int column() const { return column_; }
    int line() const { return line_; }

private:
    PageLayout layout_;
    int column_ = 0, line_ = 0;
};
