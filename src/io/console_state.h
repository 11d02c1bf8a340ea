// The console as one interpreter has it: its output writer, the keys read ahead, the
// line editor's state and its answers, its code page. The console functions
// work on the console of the interpreter entered on this thread (a ConsoleScope), or
// on the process's own console while none is entered (the library's unit tests).
#pragma once
#include <utility>

#include "io/code_page.h"
#include "io/console_host.h"
#include "io/console_input.h"
#include "io/console_writer.h"
#include "io/line_editor.h"

struct ConsoleState {
    ConsoleWriter writer;
    ConsoleInputBuffer input;
    LineEditorState editor;
    CodePage code_page = locale_code_page();
    ConsoleHost* host = nullptr;  // null: the keyboard and the screen are the process's own
};

namespace console_state {
inline ConsoleState process_console;
inline constinit thread_local ConsoleState* current = &process_console;
}  // namespace console_state

inline ConsoleState& console() { return *console_state::current; }

// While one lives, `state` is the console of this thread. The console left (on entry
// and on exit) has its output written first, so that output keeps its order.
class ConsoleScope {
public:
    explicit ConsoleScope(ConsoleState& state) : previous_(console_state::current) { switch_to(state); }
    ~ConsoleScope() { switch_to(*previous_); }
    ConsoleScope(const ConsoleScope&) = delete;
    ConsoleScope& operator=(const ConsoleScope&) = delete;

private:
    static void switch_to(ConsoleState& state) {
        if (console_state::current == &state) return;
        console_state::current->writer.flush();
        console_state::current = &state;
    }

    ConsoleState* previous_;
};
