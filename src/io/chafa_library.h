// libchafa, which turns pictures into sixel images and into Unicode block characters,
// opened by the first picture shown in the terminal rather than at start-up (it
// brings GLib along). GLib's g_string_free comes through the same handle.
#pragma once
#include <chafa.h>

#include "base/shared_library.h"

#define CHAFA_LIBRARY_FUNCTIONS(F)                                                                          \
    F(chafa_canvas_config_new) F(chafa_canvas_config_unref) F(chafa_canvas_config_set_geometry)           \
    F(chafa_canvas_config_set_cell_geometry) F(chafa_canvas_config_set_pixel_mode)                        \
    F(chafa_canvas_config_set_canvas_mode) F(chafa_canvas_config_set_symbol_map)                          \
    F(chafa_canvas_config_set_optimizations) F(chafa_symbol_map_new) F(chafa_symbol_map_unref)              \
    F(chafa_symbol_map_add_by_tags) F(chafa_canvas_new) F(chafa_canvas_unref) F(chafa_canvas_draw_all_pixels) \
    F(chafa_canvas_print) F(chafa_term_db_get_default) F(chafa_term_db_get_fallback_info)                 \
    F(chafa_term_info_unref) F(g_string_free)

struct ChafaLibrary {
    CHAFA_LIBRARY_FUNCTIONS(ZOV_LIBRARY_FUNCTION)
};

// The functions of libchafa.so.0, opened by the first call; null when it cannot be
// opened or lacks one of them (said under ZOV_DEBUG).
const ChafaLibrary* chafa_library();
