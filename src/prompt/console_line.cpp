// Line input from standard input.
#include "prompt/console_line.h"

#include <optional>

#include "graphics/graphics_state.h"
#include "graphics/inline_windows.h"
#include "interp/vmbas.h"
#include "io/answer_history.h"
#include "io/break_flag.h"
#include "io/code_page.h"
#include "io/console_input.h"
#include "io/console_state.h"
#include "io/console_writer.h"
#include "io/line_editor.h"
#include "values/messages.h"

namespace {

constexpr size_t kWorkingSize = 4200;

LineRead edit_at_terminal(std::string_view offered, std::string& line, LineUse use) {
    std::optional<AnswerHistory> answers;
    if (use == LineUse::Answer) answers.emplace();
    // The editor starts from key mode, so that no key typed meanwhile is echoed.
    enter_key_mode();
    console_writer::flush();
    const EditorResult result = edit_line(console_writer::current_row(), offered, line);
    if (result == EditorResult::Interrupted) {
        break_flag::clear();
        return LineRead::Interrupted;
    }
    console_writer::start_row();  // Enter (or Ctrl-D) left the cursor on a new row
    return result == EditorResult::Line ? LineRead::Ok : LineRead::EndOfInput;
}

}  // namespace

LineRead read_console_line(C_VMBAS& vm, std::string& buffer, size_t size, LineUse use) {
    gw_refresh(vm, REFRESH_ALL);
    show_windows_in_terminal(vm);
    if (size < 2) return LineRead::EndOfInput;
    vm.io.record(CHANNEL_CONSOLE).column = 0;
    std::string line;
    const bool typed = line_editing_wanted();
    if (typed) {
        const LineRead read = edit_at_terminal(buffer, line, use);
        if (read != LineRead::Ok) return read;
    } else if (ConsoleHost* host = console().host) {
        // Text offered as typed is shown with the prompt; the answer follows it.
        std::string answer;
        const HostAnswer read = host->read_line(console_writer::take_unwritten_row() + buffer, answer);
        if (read != HostAnswer::Line) return read == HostAnswer::Interrupted ? LineRead::Interrupted : LineRead::EndOfInput;
        line = buffer + answer;
    } else {
        // Piped input: text offered as typed counts as typed, the line read follows it.
        std::string piped;
        if (!read_input_line(piped, kWorkingSize - 1)) {
            if (!break_flag::is_set()) return LineRead::EndOfInput;
            break_flag::clear();
            return LineRead::Interrupted;
        }
        line = buffer + piped;
    }
    const size_t keep = character_boundary(line, std::min(size, kWorkingSize) - 1);
    if (line.size() > keep) {
        line.resize(keep);
        // Piped input is cut silently, as it always was; a typist is told.
        if (typed)
            vm.io.put_text(CHANNEL_CONSOLE, std::string(messages::localized("長すぎる行を ")) + std::to_string(keep) +
                                                std::string(messages::localized(" バイトで切った\n")));
    }
    buffer = std::move(line);
    return LineRead::Ok;
}
