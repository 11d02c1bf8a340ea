// Opening libSDL2 once, on first use.
#include "zov/sdl_library.h"

#include <optional>

namespace zov {

namespace {

std::optional<SdlLibrary> open_sdl() {
    SharedLibrary library("libSDL2-2.0.so.0");
    SdlLibrary table;
    ZOV_SDL_FUNCTIONS(ZOV_FIND_FUNCTION)
    if (!library.complete()) return std::nullopt;
    return table;
}

}  // namespace

const SdlLibrary* sdl_library() {
    static const std::optional<SdlLibrary> sdl = open_sdl();
    return sdl ? &*sdl : nullptr;
}

}  // namespace zov
