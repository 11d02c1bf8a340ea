// Line input from standard input.
#include "io/console_line.h"

#include <unistd.h>

#include "graphics/graphics_state.h"
#include "interp/break_flag.h"
#include "interp/vmbas.h"
#include "io/console_input.h"
#include "io/console_writer.h"
#include "io/line_editor.h"

namespace {
constexpr size_t kWorkingSize = 4200;
}

LineRead read_console_line(C_VMBAS& vm, std::string& buffer, size_t size) {
    gw_refresh(vm, REFRESH_ALL);
    if (size < 2) return LineRead::EndOfInput;
    vm.io.record(CHANNEL_CONSOLE).column = 0;
    std::string line;
    if (isatty(STDIN_FILENO)) {
        leave_key_mode();
        console_writer::flush();
        switch (edit_line(console_writer::current_row(), buffer, line)) {
            case EditorResult::Line: break;
            case EditorResult::Interrupted: break_flag::clear(); return LineRead::Interrupted;
            case EditorResult::EndOfInput: return LineRead::EndOfInput;
        }
    } else {
        // Piped input: text offered as typed counts as typed, the line read follows it.
        std::string typed;
        if (!read_input_line(typed, kWorkingSize - 1)) {
            if (!break_flag::is_set()) return LineRead::EndOfInput;
            break_flag::clear();
            return LineRead::Interrupted;
        }
        line = buffer + typed;
    }
    if (line.size() > kWorkingSize - 1) line.resize(kWorkingSize - 1);
    const size_t keep = std::min(size, kWorkingSize) - 1;
    if (line.size() > keep) line.resize(keep);
    buffer = std::move(line);
    return LineRead::Ok;
}
