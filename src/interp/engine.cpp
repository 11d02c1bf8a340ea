// The engine choice, read from the environment once.
#include "interp/engine.h"

#include <cstdlib>
#include <cstring>

namespace {

Engine from_environment() {
    const char* chosen = std::getenv("VELMORA_ENGINE");
    return chosen && std::strcmp(chosen, "text") == 0 ? Engine::Text : Engine::Compiled;
}

Engine& chosen_engine() {
    static Engine engine = from_environment();
    return engine;
}

}  // namespace

Engine current_engine() { return chosen_engine(); }
void set_engine(Engine engine) { chosen_engine() = engine; }
