// The interpreter's console inside a notebook: output streams to the cell, reads ask
// through the notebook's input box, and an error report becomes the cell's error.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "io/console_host.h"
#include "kernel/descriptor_capture.h"
#include "kernel/utf8_stream.h"

class NotebookConsole : public ConsoleHost {
public:
    // `publish` sends text to the cell's stream "stdout" or "stderr"; `ask` shows the
    // input box with a prompt and returns the answer.
    using Publish = std::function<void(std::string_view stream, const std::string& text)>;
    using Ask = std::function<std::string(const std::string& prompt)>;
    NotebookConsole(Publish publish, Ask ask);

    // A cell begins: whether its front end can answer input requests.
    void begin_cell(bool can_ask);
    // Everything written so far reaches the cell.
    void publish_pending();
    // The error report of the cell, empty when it ran without one.
    const std::string& report() const { return report_; }

    // The interpreter's console output, the sink of its writer.
    void write(std::string_view bytes);

    HostAnswer read_line(std::string_view prompt, std::string& line) override;
    void begin_report() override { reporting_ = true; }
    void end_report() override { reporting_ = false; }

private:
    void publish_caught();

    Publish publish_;
    Ask ask_;
    bool can_ask_ = false;
    bool reporting_ = false;
    std::string report_;
    Utf8Stream output_;
    Utf8Stream children_output_;
    Utf8Stream children_errors_;
    // What child processes (spawn, system) and libraries write to the descriptors.
    std::unique_ptr<DescriptorCapture> stdout_capture_;
    std::unique_ptr<DescriptorCapture> stderr_capture_;
};
