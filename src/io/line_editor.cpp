// readline's callback interface, so that Ctrl-C (which only sets the break flag) ends
// the wait for a line instead of being swallowed by readline's own loop.
#include "io/line_editor.h"

#include <readline/readline.h>
#include <sys/select.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

#include "interp/break_flag.h"
#include "io/console_writer.h"
#include "io/history.h"

namespace {

bool finished = false;
bool end_of_input = false;
std::string received;

void on_line(char* text) {
    finished = true;
    end_of_input = text == nullptr;
    if (text) {
        received = text;
        if (*text != '\0') line_history::add(text);
        std::free(text);
    }
    rl_callback_handler_remove();
}

// Drops the line being edited and redraws its row, so that "^C" follows what was typed.
void abandon_line(const std::string& prompt) {
    const std::string typed = rl_line_buffer ? rl_line_buffer : "";
    rl_free_line_state();
    rl_callback_sigcleanup();
    rl_callback_handler_remove();
    console_writer::write("\r" + prompt + typed);
    console_writer::flush();
}

}  // namespace

EditorResult edit_line(std::string_view row_so_far, std::string_view pretyped, std::string& line) {
    // Ctrl-C belongs to the interpreter: readline must not install its own handlers.
    rl_catch_signals = 0;
    rl_readline_name = "velmora";
    finished = end_of_input = false;
    received.clear();
    const std::string prompt(row_so_far);
    rl_already_prompted = 1;
    rl_callback_handler_install(prompt.c_str(), on_line);
    if (!pretyped.empty()) {
        rl_insert_text(std::string(pretyped).c_str());
        rl_redisplay();
    }
    // Ctrl-C is held back except inside pselect, so one that arrives just before the
    // wait still ends it.
    sigset_t interrupt, unblocked;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    sigprocmask(SIG_BLOCK, &interrupt, &unblocked);
    EditorResult result = EditorResult::Line;
    while (!finished) {
        if (break_flag::is_set()) {
            result = EditorResult::Interrupted;
            break;
        }
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(STDIN_FILENO, &readable);
        const int ready = pselect(STDIN_FILENO + 1, &readable, nullptr, nullptr, nullptr, &unblocked);
        if (ready < 0 && errno != EINTR) {
            result = EditorResult::EndOfInput;
            break;
        }
        if (ready > 0) rl_callback_read_char();
    }
    sigprocmask(SIG_SETMASK, &unblocked, nullptr);
    if (!finished) {
        abandon_line(prompt);
        return result;
    }
    if (end_of_input) return EditorResult::EndOfInput;
    line = std::move(received);
    return EditorResult::Line;
}
