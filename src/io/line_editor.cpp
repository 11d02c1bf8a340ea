// readline's callback interface, so that Ctrl-C (which only sets the break flag) ends
// the wait for a line instead of being swallowed by readline's own loop.
#include "io/line_editor.h"

#include <readline/readline.h>
#include <sys/select.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <utility>

#include "io/answer_history.h"
#include "io/break_flag.h"
#include "io/console_input.h"
#include "io/console_state.h"
#include "io/console_writer.h"
#include "io/history.h"
#include "io/terminal_signals.h"

LineEditorState::LineEditorState() : answers(std::make_unique<AnswerList>()) {}

LineEditorState::~LineEditorState() = default;

namespace {

// readline calls back without a word of context: the state is the entered interpreter's.
LineEditorState& editor() { return console().editor; }

void accept(std::string text) {
    if (!text.empty()) {
        if (AnswerHistory::active())
            add_history(text.c_str());
        else
            line_history::add(text.c_str());
    }
    editor().received = std::move(text);
}

void on_line(char* text) {
    LineEditorState& state = editor();
    state.finished = true;
    state.end_of_input = text == nullptr;
    if (text) {
        accept(text);
        std::free(text);
    }
    rl_callback_handler_remove();
}

// Keys read ahead while a program polled the keyboard come before the terminal's.
int next_key(FILE* stream) {
    unsigned char key;
    return take_buffered_key(key) ? key : rl_getc(stream);
}

// A bracketed paste enters as if typed: its first line ends the line being edited.
int paste(int, int) {
    constexpr std::string_view kEnd = "\x1b[201~";
    std::string text;
    int previous = 0;
    for (int key; (key = rl_read_key()) >= 0; previous = key) {
        if (key == '\n' && previous == '\r') continue;
        text.push_back(key == '\r' ? '\n' : static_cast<char>(key));
        if (text.ends_with(kEnd)) {
            text.resize(text.size() - kEnd.size());
            break;
        }
    }
    const size_t newline = text.find('\n');
    rl_insert_text(text.substr(0, newline).c_str());
    rl_redisplay();  // else the line is entered unseen
    if (newline == std::string::npos) return 0;
    editor().pasted = text.substr(newline + 1);
    return rl_newline(1, '\n');
}

// readline takes the character type from the environment whenever a line begins; the
// interpreter's own (UTF-8 also under LANG=C) must hold while editing too.
template <typename Step>
void in_our_character_type(Step step) {
    const std::string ours = std::setlocale(LC_CTYPE, nullptr);
    step();
    std::setlocale(LC_CTYPE, ours.c_str());
}

// readline is one for the process, and so is its set-up.
void set_up_readline() {
    static bool done = false;
    if (done) return;
    done = true;
    rl_readline_name = "velmora";
    rl_catch_signals = 0;   // Ctrl-C belongs to the interpreter
    rl_catch_sigwinch = 0;  // a resize is handled in the wait for keys
    rl_getc_function = next_key;
    in_our_character_type([] { rl_initialize(); });
    // Eight-bit keys and output, which readline refuses under LANG=C.
    rl_variable_bind("input-meta", "on");
    rl_variable_bind("output-meta", "on");
    rl_variable_bind("convert-meta", "off");
    for (const char* name : {"emacs", "vi-insert"})
        if (Keymap keymap = rl_get_keymap_by_name(name)) rl_bind_keyseq_in_map("\x1b[200~", paste, keymap);
}

// An answer is data, not a program: Tab goes into it as typed, as the paste of a TAB
// does. Bound to readline's own function otherwise, whose second Tab lists the choices.
void bind_tab() {
    rl_command_func_t* tab = AnswerHistory::active() ? rl_insert : rl_complete;
    for (const char* name : {"emacs", "vi-insert"})
        if (Keymap keymap = rl_get_keymap_by_name(name)) rl_bind_key_in_map('\t', tab, keymap);
}

// The next whole line of a paste, shown as typed; false when none is waiting.
bool take_pasted_line(std::string_view pretyped, std::string& line) {
    std::string& pasted = editor().pasted;
    const size_t newline = pasted.find('\n');
    if (newline == std::string::npos) return false;
    line = std::string(pretyped) + pasted.substr(0, newline);
    pasted.erase(0, newline + 1);
    console_writer::write(line + "\n");
    console_writer::flush();
    accept(line);
    return true;
}

bool interrupt_pending() {
    sigset_t pending;
    sigpending(&pending);
    return sigismember(&pending, SIGINT) == 1;
}

// Drops the line being edited, and the rest of a paste as the terminal drops keys typed
// ahead; redraws it from its first row, which readline's carriage return at the end of
// the paste mode leaves, so that "^C" follows what was typed.
void abandon_line(const std::string& prompt) {
    editor().pasted.clear();
    const std::string typed = rl_line_buffer ? rl_line_buffer : "";
    rl_point = 0;
    rl_redisplay();
    rl_free_line_state();
    rl_callback_sigcleanup();
    rl_callback_handler_remove();
    console_writer::write("\r" + prompt + typed);
    console_writer::flush();
}

}  // namespace

bool line_editing_wanted() { return isatty(STDIN_FILENO) && isatty(STDOUT_FILENO); }

EditorResult edit_line(std::string_view row_so_far, std::string_view pretyped, std::string& line) {
    set_up_readline();
    bind_tab();
    if (take_pasted_line(pretyped, line)) return EditorResult::Line;
    LineEditorState& state = editor();
    state.finished = state.end_of_input = false;
    state.received.clear();
    rl_eof_found = 0;  // else every later line ends with the newline of an old Ctrl-D
    rl_reset_screen_size();
    const std::string prompt(row_so_far);
    rl_already_prompted = 1;
    in_our_character_type([&prompt] { rl_callback_handler_install(prompt.c_str(), on_line); });
    // The editor echoes, though the terminal it started from did not; readline then
    // also left its record of the prompt already shown unmade.
    rl_tty_set_echoing(1);
    rl_on_new_line_with_prompt();
    terminal_signals::keep_current_mode();
    terminal_signals::set_editing(true);
    const std::string offered = std::string(pretyped) + std::exchange(state.pasted, {});
    if (!offered.empty()) {
        rl_insert_text(offered.c_str());
        rl_redisplay();
    }
    // These signals are held back except inside pselect, so one that arrives just
    // before the wait still ends it.
    sigset_t held, unblocked;
    sigemptyset(&held);
    for (const int number : {SIGINT, SIGWINCH, SIGCONT}) sigaddset(&held, number);
    sigprocmask(SIG_BLOCK, &held, &unblocked);
    EditorResult result = EditorResult::Line;
    while (!state.finished) {
        if (break_flag::is_set()) {
            result = EditorResult::Interrupted;
            break;
        }
        if (terminal_signals::take_resize()) rl_resize_terminal();
        if (terminal_signals::take_continue()) rl_forced_update_display();
        if (keys_buffered()) {
            rl_callback_read_char();
            continue;
        }
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(STDIN_FILENO, &readable);
        const int ready = pselect(STDIN_FILENO + 1, &readable, nullptr, nullptr, nullptr, &unblocked);
        if (ready < 0 && errno != EINTR) {
            result = EditorResult::EndOfInput;
            break;
        }
        // Ctrl-C wakes the wait as input would, and the terminal then drops the input.
        if (ready > 0 && !interrupt_pending()) rl_callback_read_char();
    }
    sigprocmask(SIG_SETMASK, &unblocked, nullptr);
    if (!state.finished) abandon_line(prompt);
    terminal_signals::set_editing(false);
    terminal_signals::keep_current_mode();
    if (!state.finished) return result;
    if (state.end_of_input) return EditorResult::EndOfInput;
    line = std::move(state.received);
    return EditorResult::Line;
}
