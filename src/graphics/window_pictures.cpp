// Which windows changed since they were last shown: each drawing marks its window
// (the window check does), and a marked window counts as changed when its picture
// differs from the one last shown, by a digest of its size and pixels.
#include "graphics/window_pictures.h"

#include <functional>
#include <string_view>

#include "graphics/graphics_state.h"
#include "interp/vmbas.h"

namespace {

size_t digest_of(const zov::Surface& picture) {
    const auto bytes = picture.bytes();
    const size_t pixels =
        std::hash<std::string_view>{}(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    return pixels ^ (size_t(picture.width()) << 32 | size_t(picture.height()));
}

}  // namespace

std::vector<WindowPicture> changed_pictures(C_VMBAS& vm) {
    std::vector<WindowPicture> changed;
    for (int32_t n = 1; n <= 9; ++n) {
        C_GWIN& gwin = vm.graphics.windows[size_t(n)];
        if (!gwin.drawn_since_viewed || !gwin.is_open() || gwin.window->hidden() || gwin.surface.empty()) continue;
        gwin.drawn_since_viewed = false;
        const size_t digest = digest_of(gwin.surface);
        if (gwin.viewed && digest == gwin.viewed_digest) continue;
        gwin.viewed = true;
        gwin.viewed_digest = digest;
        changed.push_back({n, &gwin.surface, gwin.window->title()});
    }
    return changed;
}
