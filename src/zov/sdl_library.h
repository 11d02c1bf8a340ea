// libSDL2, opened by the first display check rather than at start-up. Every SDL call
// goes through this table: the GUI thread's, and the error box's.
#pragma once
#include <SDL.h>
#include <SDL_syswm.h>

#include "base/shared_library.h"

namespace zov {

#define ZOV_SDL_FUNCTIONS(F)                                                                         \
    F(SDL_SetHint) F(SDL_Init) F(SDL_GetError) F(SDL_WaitEventTimeout) F(SDL_PollEvent)              \
    F(SDL_GetDisplayUsableBounds) F(SDL_CreateWindow) F(SDL_DestroyWindow) F(SDL_GetWindowID)        \
    F(SDL_ShowWindow) F(SDL_HideWindow) F(SDL_RestoreWindow) F(SDL_RaiseWindow) F(SDL_SetWindowSize) \
    F(SDL_GetWindowBordersSize) F(SDL_GetWindowPosition) F(SDL_SetWindowPosition)                    \
    F(SDL_GetWindowSurface) F(SDL_UpdateWindowSurface) F(SDL_LockSurface) F(SDL_UnlockSurface)       \
    F(SDL_ConvertPixels) F(SDL_GetWindowWMInfo) F(SDL_GetGlobalMouseState) F(SDL_CaptureMouse)       \
    F(SDL_ShowSimpleMessageBox) F(SDL_GetDisplayDPI) F(SDL_GetWindowSize)

struct SdlLibrary {
    ZOV_SDL_FUNCTIONS(ZOV_LIBRARY_FUNCTION)
};

// The functions of libSDL2-2.0.so.0, opened by the first call; null when it cannot be
// opened or lacks one of them.
const SdlLibrary* sdl_library();

}  // namespace zov
