// The console of a notebook kernel.
#include "kernel/notebook_console.h"

#include <unistd.h>

#include "io/break_flag.h"
#include "kernel/interrupt_mask.h"

NotebookConsole::NotebookConsole(Publish publish, Ask ask) : publish_(std::move(publish)), ask_(std::move(ask)) {}

void NotebookConsole::begin_cell(bool can_ask) {
    // From the first cell on: what the kernel wrote while it started is its log.
    if (!stdout_capture_) {
        stdout_capture_ = std::make_unique<DescriptorCapture>(STDOUT_FILENO);
        stderr_capture_ = std::make_unique<DescriptorCapture>(STDERR_FILENO);
    }
    can_ask_ = can_ask;
    reporting_ = false;
    report_.clear();
}

void NotebookConsole::publish_caught() {
    if (!stdout_capture_) return;
    if (const std::string text = children_output_.take(stdout_capture_->take()); !text.empty()) publish_("stdout", text);
    if (const std::string text = children_errors_.take(stderr_capture_->take()); !text.empty()) publish_("stderr", text);
}

void NotebookConsole::publish_pending() {
    publish_caught();
    if (const std::string text = output_.finish(); !text.empty()) publish_("stdout", text);
}

void NotebookConsole::write(std::string_view bytes) {
    if (reporting_) {
        report_ += output_.take(bytes);
        return;
    }
    publish_caught();
    if (const std::string text = output_.take(bytes); !text.empty()) publish_("stdout", text);
}

HostAnswer NotebookConsole::read_line(std::string_view prompt, std::string& line) {
    publish_caught();
    if (!can_ask_) return HostAnswer::EndOfInput;
    std::string answer;
    {
        const InterruptMask held(InterruptMask::Interrupt::HeldBack);
        answer = ask_(valid_utf8(prompt));
    }
    if (break_flag::is_set()) return HostAnswer::Interrupted;
    line = std::move(answer);
    return HostAnswer::Line;
}
