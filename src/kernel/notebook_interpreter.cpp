// Cells, completion and inspection for the notebook.
#include "kernel/notebook_interpreter.h"

#include <signal.h>

#include <atomic>

#include <xeus/xhelper.hpp>
#include <xeus/xinput.hpp>
#include <xtl/xbase64.hpp>

#include "graphics/window_pictures.h"
#include "interp/help_entries.h"
#include "interp/interpreter_entry.h"
#include "interp/run_loop.h"
#include "interp/statements.h"
#include "io/break_flag.h"
#include "io/code_page.h"
#include "io/console_writer.h"
#include "io/inline_picture.h"
#include "kernel/interrupt_mask.h"
#include "kernel/utf8_stream.h"
#include "prompt/completion.h"
#include "prompt/console_line.h"
#include "prompt/main_loop.h"
#include "values/text_scan.h"

namespace {

constexpr size_t kConsoleLineSize = 256;

std::atomic<unsigned> interrupts{0};
static_assert(std::atomic<unsigned>::is_always_lock_free, "counted in a signal handler");

extern "C" void on_notebook_interrupt(int) {
    break_flag::set();
    interrupts.fetch_add(1, std::memory_order_relaxed);
}

// A character of a name, as completion reads words.
bool in_word(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '$' ||
           c == '%' || c == '#';
}

// The byte offset of code point `cursor` of UTF-8 text, as the protocol counts.
size_t byte_offset(const std::string& text, int cursor) {
    size_t at = 0;
    for (int points = 0; at < text.size() && points < cursor; ++points) {
        ++at;
        while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
    }
    return at;
}

int code_points(std::string_view text) {
    int points = 0;
    for (const char c : text) points += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return points;
}

constexpr const char* kErrorName = "Error";

// The message of a report's last row, after the caret that points into the line.
std::string report_message(const std::string& row) {
    const size_t caret = row.find("^ ");
    return caret != std::string::npos && row.find_first_not_of(' ') == caret ? row.substr(caret + 2) : row;
}

std::vector<std::string> split_lines(const std::string& report) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = report.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(report.substr(start, end - start));
    if (start < report.size()) lines.push_back(report.substr(start));
    return lines;
}

}  // namespace

NotebookInterpreter::NotebookInterpreter()
    : console_([this](std::string_view stream, const std::string& text) {
                   if (!silent_) publish_stream(std::string(stream), text);
               },
               [](const std::string& prompt) { return xeus::blocking_input_request(prompt, false); }) {
    vm_.console.host = &console_;
    vm_.console.code_page = CodePage::Utf8;  // the protocol's text is UTF-8
    vm_.console.writer.set_sink([this](std::string_view bytes) { console_.write(bytes); });
    xeus::register_interpreter(this);
}

void NotebookInterpreter::catch_interrupts() {
    struct sigaction action {};
    action.sa_handler = on_notebook_interrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
}

bool NotebookInterpreter::enter_line(std::string line) {
    if (line.size() >= kConsoleLineSize) line.resize(character_boundary(line, kConsoleLineSize - 1));
    for (;;) {
        if (*skip_blanks(line.c_str()) == '\0' || store_typed_line(vm_, line)) return true;
        vm_.set_direct_command(line);
        vm_.current_line = &vm_.direct_line;
        const unsigned interrupts_before = interrupts.load(std::memory_order_relaxed);
        run_program(vm_);
        interrupted_ = interrupts.load(std::memory_order_relaxed) != interrupts_before;
        if (interrupted_ || !console_.report().empty()) return false;
        // edit offers a line to change, as the prompt would.
        if (vm_.pretyped_input.empty()) return true;
        line = std::move(vm_.pretyped_input);
        vm_.pretyped_input.clear();
        if (read_console_line(vm_, line, kConsoleLineSize) != LineRead::Ok) return true;
    }
}

void NotebookInterpreter::run_cell(const std::string& code) {
    const InterruptMask interruptible(InterruptMask::Interrupt::Taken);
    size_t start = 0;
    while (start <= code.size()) {
        size_t end = code.find('\n', start);
        if (end == std::string::npos) end = code.size();
        std::string line = code.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!enter_line(std::move(line))) return;
        start = end + 1;
    }
}

nl::json NotebookInterpreter::execute_request_impl(int, const std::string& code, bool silent, bool, nl::json,
                                                   bool allow_stdin) {
    InterpreterEntry entered(vm_);
    silent_ = silent;
    interrupted_ = false;
    console_.begin_cell(allow_stdin);
    run_cell(code);
    // The prompt would start a new row; the next cell's output starts on one too. A
    // report is shown apart, on rows of its own.
    const std::string& report = console_.report();
    int32_t& column = vm_.io.record(CHANNEL_CONSOLE).column;
    if (!report.empty()) column = 0;
    if (column != 0) vm_.io.put_char(CHANNEL_CONSOLE, '\n');
    console_writer::flush();
    console_.publish_pending();
    if (!silent) show_changed_windows();
    // The output shows "^C" where the program stopped, as the terminal would.
    if (interrupted_ && report.empty()) return {{"status", "error"}, {"ename", "Interrupted"}, {"evalue", "^C"}, {"traceback", nl::json::array()}};
    if (report.empty()) return xeus::create_successful_reply();
    const std::vector<std::string> traceback = split_lines(report);
    const std::string message = report_message(traceback.back());
    if (!silent) publish_execution_error(kErrorName, message, traceback);
    return {{"status", "error"}, {"ename", kErrorName}, {"evalue", message}, {"traceback", traceback}};
}

void NotebookInterpreter::show_changed_windows() {
    for (const WindowPicture& window : changed_pictures(vm_)) {
        const nl::json data = {{"image/png", xtl::base64encode(png_file(*window.picture))},
                               {"text/plain", valid_utf8(window.title)}};
        const nl::json size = {{"width", window.picture->width()}, {"height", window.picture->height()}};
        display_data(data, {{"image/png", size}}, nl::json::object());
    }
}

std::string NotebookInterpreter::help_text(std::string_view word) {
    if (!find_help_entry(word)) return {};
    std::string text;
    vm_.console.writer.set_sink([&text](std::string_view bytes) { text.append(bytes); });
    const std::string line(word);
    const char* p = line.c_str();
    const int shown = stmt_help(vm_, p);
    console_writer::flush();
    vm_.console.writer.set_sink([this](std::string_view bytes) { console_.write(bytes); });
    vm_.io.record(CHANNEL_CONSOLE).column = 0;
    return shown == 0 ? valid_utf8(text) : std::string();
}

nl::json NotebookInterpreter::complete_request_impl(const std::string& code, int cursor_pos) {
    InterpreterEntry entered(vm_);
    const size_t end = byte_offset(code, cursor_pos);
    size_t start = end;
    while (start > 0 && in_word(code[start - 1])) --start;
    nl::json matches = nl::json::array();
    if (start < end)
        for (const std::string& word : completion::candidates(vm_, std::string_view(code).substr(start, end - start)))
            matches.push_back(valid_utf8(word));
    return xeus::create_complete_reply(matches, code_points(std::string_view(code).substr(0, start)), cursor_pos);
}

nl::json NotebookInterpreter::inspect_request_impl(const std::string& code, int cursor_pos, int) {
    InterpreterEntry entered(vm_);
    // The word the cursor is in or just after.
    size_t end = byte_offset(code, cursor_pos), start = end;
    while (end < code.size() && in_word(code[end])) ++end;
    while (start > 0 && in_word(code[start - 1])) --start;
    const std::string text = help_text(std::string_view(code).substr(start, end - start));
    if (text.empty()) return xeus::create_inspect_reply();
    return xeus::create_inspect_reply(true, {{"text/plain", text}});
}

nl::json NotebookInterpreter::is_complete_request_impl(const std::string&) {
    return xeus::create_is_complete_reply("complete");
}

nl::json NotebookInterpreter::kernel_info_request_impl() {
    return xeus::create_info_reply("5.3", "velmora-kernel", VELMORA_VERSION, "velmora-basic", VELMORA_VERSION,
                                   "text/x-velmora-basic", ".bas", "", "vbscript", "",
                                   "Velmora BASIC V" VELMORA_VERSION);
}
