// The cell grid arithmetic of the printed page.
#include "io/printer_layout.h"

PageLayout make_page_layout(const PrinterSettings& settings, int page_width, int page_height, int cell_width,
                            int cell_height) {
    PageLayout layout;
    layout.cell_width = cell_width;
    layout.cell_height = cell_height;
    layout.line_height = cell_height * settings.line_spacing / 100;
    layout.columns = page_width / cell_width - settings.left_margin - settings.right_margin;
    layout.lines = page_height / layout.line_height - settings.top_margin - settings.bottom_margin;
    layout.left_margin = settings.left_margin;
    layout.top_margin = settings.top_margin;
    return layout;
}

Placement PageCursor::place(int cells) {
    Placement placement;
    if (column_ >= layout_.columns - (cells - 1)) column_ = 0, ++line_;
    if (line_ >= layout_.lines) {
        placement.new_page = true;
        home();
    }
    placement.x = layout_.x_of(column_);
    placement.y = layout_.y_of(line_);
    column_ += cells;
    return placement;
}
