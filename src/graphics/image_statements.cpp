// Pictures in and out of a window: gsave and gload through the image files, and
// gclipcopy and gclippaste through the clipboard. Loading and pasting fit the window
// to the picture's size.
#include <string>

#include "graphics/clipboard.h"
#include "graphics/graphics_state.h"
#include "imagefile/gfile.h"
#include "interp/file_names.h"
#include "interp/statements.h"
#include "interp/vmbas.h"
#include "values/error.h"
#include "values/text_scan.h"

namespace {

// The save mode that the file name's ending selects, or 0 when none does.
int save_mode_for(std::string_view name) {
    auto ends_with = [&](std::string_view ending) {
        return name.size() >= ending.size() && equals_nocase(name.substr(name.size() - ending.size()), ending);
    };
    if (name.size() < 4) return 0;
    if (ends_with(".bmp")) return imagefile::kBmp24;
    if (ends_with(".jpg")) return imagefile::kJpeg;
    if (ends_with(".gif")) return imagefile::kGif;
    if (ends_with(".png")) return imagefile::kPng24;
    if (name.size() >= 5 && ends_with(".jpeg")) return imagefile::kJpeg;
    return 0;
}

C_GWIN& current_gwin(C_VMBAS& vm) { return vm.graphics.windows[static_cast<size_t>(vm.graphics.current_window)]; }

void fit_window(C_GWIN& gwin) {
    if (!gwin.surface.empty()) gwin.window->set_client_size(gwin.surface.width(), gwin.surface.height());
}

}  // namespace

int stmt_gsave(C_VMBAS& vm, const char*& p) {
    constexpr std::string_view kUsage = messages::translatable("使用法:save ファイル名");
    const zov::Surface* surface = gw_surface(vm, vm.graphics.current_window);
    std::string name;
    if (!surface || eval_file_name(vm, p, kUsage, name) < 0) return vm_error::fail(kUsage);
    const int mode = save_mode_for(name);
    if (mode == 0) return vm_error::fail("画像フォーマットが無効");
    if (imagefile::save(*surface, name, mode) < 0) return vm_error::fail("画像保存失敗");
    return 0;
}

// The picture is read into a surface of its own, so a failed load leaves the window
// as it was. A missing window reports the usage, not the window check's own message.
int stmt_gload(C_VMBAS& vm, const char*& p) {
    constexpr std::string_view kUsage = messages::translatable("使用法:gload ファイル名");
    zov::Surface* surface = gw_surface(vm, vm.graphics.current_window);
    if (!surface) {
        vm_error::clear();
        return vm_error::fail(kUsage);
    }
    std::string name;
    if (eval_file_name(vm, p, kUsage, name) < 0) return -1;
    zov::Surface loaded;
    if (imagefile::load(loaded, name) < 0 || loaded.empty()) return vm_error::fail("画像読込失敗");
    *surface = std::move(loaded);
    fit_window(current_gwin(vm));
    return 0;
}

int stmt_gclipcopy(C_VMBAS& vm, const char*&) {
    const zov::Surface* surface = gw_surface(vm, vm.graphics.current_window);
    if (!surface) return vm_error::fail("描画ウインドウ未選択");
    clipboard::copy_picture(*surface);
    return 0;
}

int stmt_gclippaste(C_VMBAS& vm, const char*&) {
    zov::Surface* surface = gw_surface(vm, vm.graphics.current_window);
    if (!surface) return vm_error::fail("描画ウインドウ未選択");
    if (clipboard::paste_picture(*surface)) fit_window(current_gwin(vm));
    return 0;
}
