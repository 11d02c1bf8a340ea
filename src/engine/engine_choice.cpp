// The engine choice, read from the environment once.
#include "engine/engine_choice.h"

#include <cstdlib>
#include <cstring>

Engine default_engine() {
    static const Engine chosen = [] {
        const char* name = std::getenv("VELMORA_ENGINE");
        return name && std::strcmp(name, "text") == 0 ? Engine::Text : Engine::Compiled;
    }();
    return chosen;
}
