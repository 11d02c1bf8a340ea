// Opening libSDL2 once, on first use.
#include "zov/sdl_library.h"

namespace zov {

const SdlLibrary* sdl_library() {
    return base::library_table<SdlLibrary>("libSDL2-2.0.so.0", [](base::SharedLibrary& library, SdlLibrary& table) {
        ZOV_SDL_FUNCTIONS(ZOV_FIND_FUNCTION)
    });
}

}  // namespace zov
