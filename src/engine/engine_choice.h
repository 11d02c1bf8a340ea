// Which engine runs program lines: the compiled one, which translates each statement
// once into pre-resolved form, or the text interpreter, which reads the text every time
// and stays the reference for behaviour. Each interpreter has its own choice.
#pragma once

enum class Engine { Compiled, Text };

// What a new interpreter starts with: the compiled engine, unless the environment
// says VELMORA_ENGINE=text (read once).
Engine default_engine();
