// The entry point: interactive mode, a program file, the calculator, or one expression.
#include <cstring>
#include <string>
#include <string_view>

#include "interp/break_flag.h"
#include "interp/calculator.h"
#include "interp/main_loop.h"
#include "interp/vmbas.h"
#include "io/code_page.h"
#include "io/console_writer.h"
#include "io/terminal.h"
#include "io/terminal_signals.h"
#include "values/text_scan.h"

namespace {

constexpr size_t kMaxExpressionBytes = 255;

bool has_extension(std::string_view argument, std::string_view extension) {
    return argument.size() > 4 && equals_nocase(argument.substr(argument.size() - 4), extension);
}

void print_usage() {
    console_writer::write_text(
        "Velmora BASIC " VELMORA_VERSION ": a programmable complex-number calculator.\n"
        "usage: velmora               interactive mode (the OK prompt)\n"
        "       velmora FILE.bas|.vmb run a program file and exit\n"
        "       velmora -c            calculator mode, one expression a line (q to quit)\n"
        "       velmora EXPRESSION    evaluate one expression, e.g. velmora 1+2i\n"
        "       velmora --help | --version\n");
}

void evaluate_arguments(C_VMBAS& vm, int argc, char** argv) {
    std::string joined;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) joined += ' ';
        joined += argv[i];
    }
    if (joined.size() > kMaxExpressionBytes) {
        vm.io.put_text(CHANNEL_CONSOLE, "式が長すぎる (255 バイトまで)\n");
        return;
    }
    calc_print(vm, joined.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    break_flag::install_handler();
    terminal_signals::install();
    detect_console_code_page();
    static TerminalModeGuard terminal_mode;  // static: restored by exit() too
    {
        C_VMBAS vm;
        if (argc == 1) {
            main_loop(vm, nullptr);
        } else if (argc == 2 && (std::strcmp(argv[1], "--help") == 0)) {
            print_usage();
        } else if (argc == 2 && (std::strcmp(argv[1], "--version") == 0)) {
            console_writer::write("Velmora BASIC " VELMORA_VERSION "\n");
        } else if (argc == 2 && (has_extension(argv[1], ".bas") || has_extension(argv[1], ".vmb"))) {
            main_loop(vm, argv[1]);
        } else if (argc == 2 && equals_nocase(argv[1], "-c")) {
            calculator_mode(vm);
        } else {
            evaluate_arguments(vm, argc, argv);
        }
        vm.io.end_console_row_at_exit();
    }
    console_writer::flush();
    return 0;
}
