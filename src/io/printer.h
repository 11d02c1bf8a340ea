// The printer behind channel 16: every byte written to it lands in Printer::put, which
// opens a job at the first printable byte, lays characters out on the page grid and
// ends the job at a form feed (outside a listing) or when the interpreter ends.
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "io/printer_job.h"
#include "io/printer_layout.h"
#include "io/printer_profile.h"

// What the printer reaches outside itself; tests give their own.
struct PrinterDevice {
    std::function<PrinterSettings()> read_settings;
    std::function<std::unique_ptr<PrintJob>(const PrinterSettings&)> open_job;
    std::function<void(std::string_view)> console_text;  // "用紙サイズ不足" and the bell
    std::function<void()> report_failed_open;
};

// The real device: the .ini file, PDFFILE or CUPS, the message on standard error
// (and in a message box on a desktop).
PrinterDevice system_printer_device(std::function<void(std::string_view)> console_text);

class Printer {
public:
    explicit Printer(PrinterDevice device) : device_(std::move(device)) {}
    ~Printer() { end_job(); }
    Printer(const Printer&) = delete;
    Printer& operator=(const Printer&) = delete;

    // printer_put: the byte, or -1 when it was refused. A form feed ends the page, and
    // the job too unless `listing`.
    int put(unsigned char byte, bool listing);
    // Ends and delivers a job still open.
    void end_job();
    void set_device(PrinterDevice device) { device_ = std::move(device); }

private:
    int open();
    void form_feed(bool listing);
    // Collects the bytes of a character and places it once it is whole.
    int put_printable(unsigned char byte);
    void place(std::string_view utf8, int cells);
    void drop_pending() { lead_byte_ = 0, pending_.clear(); }

    PrinterDevice device_;
    std::unique_ptr<PrintJob> job_;
    std::optional<PageCursor> cursor_;
    bool abandoned_ = false;   // the printer could not be opened: output is discarded
    bool drawn_ = false;       // the open job has something on its pages
    bool page_too_small_ = false;  // until the job's form feed, printing is refused
    unsigned char lead_byte_ = 0;  // Shift-JIS
    std::string pending_;          // the first bytes of a UTF-8 sequence
};
