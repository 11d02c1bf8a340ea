// libcairo, opened by the first print job rather than at start-up.
#pragma once
#include <cairo-ft.h>
#include <cairo-pdf.h>
#include <cairo.h>

#include "base/shared_library.h"

#define CAIRO_LIBRARY_FUNCTIONS(F)                                                                   \
    F(cairo_pdf_surface_create_for_stream) F(cairo_surface_finish) F(cairo_surface_status)           \
    F(cairo_surface_destroy) F(cairo_create) F(cairo_destroy) F(cairo_scale)                         \
    F(cairo_ft_font_face_create_for_pattern) F(cairo_set_font_face) F(cairo_font_face_destroy)       \
    F(cairo_select_font_face) F(cairo_set_font_size) F(cairo_font_extents) F(cairo_set_source_rgb)   \
    F(cairo_move_to) F(cairo_show_text) F(cairo_show_page) F(cairo_status_to_string)

struct CairoLibrary {
    CAIRO_LIBRARY_FUNCTIONS(ZOV_LIBRARY_FUNCTION)
};

// The functions of libcairo.so.2, opened by the first call; null when it cannot be
// opened or lacks one of them (said under ZOV_DEBUG).
const CairoLibrary* cairo_library();
