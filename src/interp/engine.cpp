// The engine choice, read from the environment once.
#include "interp/engine.h"

#include <cstdlib>
#include <cstring>

Engine engine_choice::from_environment() {
    const char* chosen = std::getenv("VELMORA_ENGINE");
    return chosen && std::strcmp(chosen, "text") == 0 ? Engine::Text : Engine::Compiled;
}
