// Which engine runs program lines: the compiled one, which translates each statement
// once into pre-resolved form, or the text interpreter, which reads the text every time
// and stays the reference for behaviour. VELMORA_ENGINE=text forces the text one.
#pragma once

enum class Engine { Compiled, Text };

Engine current_engine();
// For tests and the differential fuzz harness, which run the same program on both.
void set_engine(Engine engine);
