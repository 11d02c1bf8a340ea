// The entry point: interactive mode, a program file, the calculator, or one expression.
#include <sys/stat.h>

#include <cstring>
#include <string>
#include <string_view>

#include "base/diagnostics.h"
#include "interp/interpreter_entry.h"
#include "interp/vmbas.h"
#include "io/break_flag.h"
#include "io/code_page.h"
#include "io/console_writer.h"
#include "io/history.h"
#include "io/line_editor.h"
#include "io/terminal.h"
#include "io/terminal_signals.h"
#include "io/user_paths.h"
#include "prompt/calculator.h"
#include "prompt/completion.h"
#include "prompt/main_loop.h"
#include "values/messages.h"
#include "values/text_scan.h"

namespace {

constexpr size_t kMaxExpressionBytes = 255;

bool has_extension(std::string_view argument, std::string_view extension) {
    return argument.size() > 4 && equals_nocase(argument.substr(argument.size() - 4), extension);
}

// A program file, by its extension or because a file of that name exists: a "#!"
// script may have any name, and the shell hands it its arguments after its own name.
bool names_program_file(const char* argument) {
    struct stat status {};
    return has_extension(argument, ".bas") || has_extension(argument, ".vmb") ||
           (stat(argument, &status) == 0 && !S_ISDIR(status.st_mode));
}

void print_usage() {
    const std::string history = history_file_path();
    const std::string ini = ini_file_path();
    console_writer::write_text(
        "Velmora BASIC " VELMORA_VERSION ": a programmable complex-number calculator.\n"
        "usage: velmora               interactive mode (the OK prompt)\n"
        "       velmora FILE [ARG...] run a program file and exit: FILE ends in .bas or\n"
        "                             .vmb, or is any existing file; a first line \"#!\" is\n"
        "                             skipped, so \"#!/usr/bin/env velmora\" makes it a script\n"
        "       velmora -c            calculator mode, one expression a line (q to quit)\n"
        "       velmora EXPRESSION    evaluate one expression, e.g. velmora 1+2i\n"
        "       velmora --help        this text\n"
        "       velmora --version     the version\n"
        "exit status: 1 when a program file cannot be loaded or its run ends with an\n"
        "  error report, or when an expression fails; 0 otherwise, and always in the\n"
        "  interactive and calculator modes\n"
        "environment:\n"
        "  ZOV_GOTHIC       font face for text in graphics windows (a fontconfig name)\n"
        "  ZOV_MINCHO       font face for printed pages (a fontconfig name)\n"
        "  ZOV_DEBUG        when set, the drawing library reports its internal failures\n"
        "  VELMORA_ENGINE   \"text\" runs programs on the text interpreter, not compiled\n"
        "  VELMORA_INLINE   kitty, iterm, sixel, blocks or off: how the terminal shows\n"
        "                   windows when there is no display (default: ask the terminal)\n"
        "  VELMORA_ZOOM     1 to 8: screen pixels a side per window pixel (default: the\n"
        "                   desktop's scale)\n"
        "  LANGUAGE, LC_ALL, LC_MESSAGES, LANG\n"
        "                   the language of messages and help: Japanese under a Japanese,\n"
        "                   C or POSIX locale, else English (LANGUAGE=ja keeps Japanese)\n"
        "  XDG_STATE_HOME   where the history lives (default ~/.local/state)\n"
        "  XDG_CONFIG_HOME  where an installed interpreter's .ini lives (default ~/.config)\n"
        "files:\n");
    console_writer::write_text("  history  " + (history.empty() ? "(none: no home directory)" : history) +
                               "\n           the last 1000 lines typed at the terminal\n");
    console_writer::write_text("  .ini     " + (ini.empty() ? "(none: no home directory)" : ini) +
                               "\n           the printer layout, section \"prn\"\n");
}

// History and Tab completion serve someone typing at a terminal.
void prepare_line_editor(const C_VMBAS& vm) {
    if (!line_editing_wanted()) return;
    line_history::open(history_file_path());
    completion::attach(vm);
}

int evaluate_arguments(C_VMBAS& vm, int argc, char** argv) {
    std::string joined;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) joined += ' ';
        joined += argv[i];
    }
    if (joined.size() > kMaxExpressionBytes) {
        vm.io.put_text(CHANNEL_CONSOLE, messages::localized("式が長すぎる (255 バイトまで)\n"));
        return 1;
    }
    return calc_print(vm, joined.c_str()) < 0 ? 1 : 0;
}

// The command-line forms; the exit status is 1 for a failed program file or
// expression, 0 otherwise.
int run_command_line(C_VMBAS& vm, int argc, char** argv) {
    if (argc == 1) {
        prepare_line_editor(vm);
        return main_loop(vm, nullptr);
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        print_usage();
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        console_writer::write("Velmora BASIC " VELMORA_VERSION "\n");
        return 0;
    }
    if (argc == 2 && equals_nocase(argv[1], "-c")) {
        prepare_line_editor(vm);
        calculator_mode(vm);
        return 0;
    }
    if (names_program_file(argv[1])) return main_loop(vm, argv[1]);
    return evaluate_arguments(vm, argc, argv);
}

}  // namespace

int main(int argc, char** argv) {
    break_flag::install_handler();
    terminal_signals::install();
    detect_console_code_page();
    messages::choose_language(locale_directory());
    base::set_diagnostic_translation(messages::localized);
    static TerminalModeGuard terminal_mode;  // static: restored by exit() too
    int status;
    {
        C_VMBAS vm;
        InterpreterEntry entered(vm);
        status = run_command_line(vm, argc, argv);
        vm.io.end_console_row_at_exit();
    }
    return status;
}
