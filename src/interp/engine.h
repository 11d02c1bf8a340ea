// Which engine runs program lines: the compiled one, which translates each statement
// once into pre-resolved form, or the text interpreter, which reads the text every time
// and stays the reference for behaviour. VELMORA_ENGINE=text forces the text one.
#pragma once

enum class Engine { Compiled, Text };

namespace engine_choice {
Engine from_environment();
inline Engine chosen = from_environment();
}  // namespace engine_choice

inline Engine current_engine() { return engine_choice::chosen; }
// For tests and the differential fuzz harness, which run the same program on both.
inline void set_engine(Engine engine) { engine_choice::chosen = engine; }
