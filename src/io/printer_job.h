// One print job: pages drawn with cairo into a PDF held in memory, delivered when the
// job ends, to the PDF file named by PDFFILE or else to the default CUPS destination.
#pragma once
#include <memory>
#include <string>
#include <string_view>

#include "io/printer_profile.h"

class PrintJob {
public:
    virtual ~PrintJob() = default;
    // The page in device pixels (kPrinterDpi).
    virtual int page_width() const = 0;
    virtual int page_height() const = 0;
    // Draws UTF-8 text with the top of its cells at (x, y).
    virtual void draw_text(int x, int y, std::string_view utf8) = 0;
    virtual void end_page() = 0;
    // Ends the document and delivers it; false (with a line on standard error) when
    // that failed. A job destroyed without finish delivers nothing.
    virtual bool finish() = 0;
};

// The job for the settings' destination, or null when there is none: PDFFILE names no
// file and CUPS has no default destination, or libcairo cannot be opened.
std::unique_ptr<PrintJob> open_print_job(const PrinterSettings& settings);
