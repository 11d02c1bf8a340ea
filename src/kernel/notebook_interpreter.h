// The Jupyter kernel's interpreter: one Velmora interpreter for the kernel's life, fed
// a cell at a time as lines typed at the prompt.
#pragma once
#include <string>

#include <xeus/xinterpreter.hpp>

#include "interp/vmbas.h"
#include "kernel/notebook_console.h"

class NotebookInterpreter : public xeus::xinterpreter {
public:
    NotebookInterpreter();

    // The notebook's stop button sends SIGINT: it stops the program as Ctrl-C does,
    // and the rest of the cell with it.
    static void catch_interrupts();

private:
    void configure_impl() override {}
    nl::json execute_request_impl(int execution_counter, const std::string& code, bool silent, bool store_history,
                                  nl::json user_expressions, bool allow_stdin) override;
    nl::json complete_request_impl(const std::string& code, int cursor_pos) override;
    nl::json inspect_request_impl(const std::string& code, int cursor_pos, int detail_level) override;
    nl::json is_complete_request_impl(const std::string& code) override;
    nl::json kernel_info_request_impl() override;
    void shutdown_request_impl() override {}

    void run_cell(const std::string& code);
    // Each window whose picture changed, as an image in the cell.
    void show_changed_windows();
    // What the help statement shows for `word`, or "" when it has no entry.
    std::string help_text(std::string_view word);
    // A typed line: stored when numbered, else run as a direct command; false when
    // it ended in an error report.
    bool enter_line(std::string line);

    C_VMBAS vm_;
    NotebookConsole console_;
    bool silent_ = false;
    bool interrupted_ = false;
};
