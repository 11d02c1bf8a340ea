// printer_put: control bytes, whole characters on the page grid, and the job's life.
#include "io/printer.h"

#include <cstdio>

#include "base/cp932.h"
#include "io/code_page.h"
#include "io/user_paths.h"
#include "values/messages.h"
#include "zov/window.h"

namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";
constexpr std::string_view kFailedOpen = messages::translatable("プリンタオープン失敗。印字放棄！\n");

void report_failed_open() {
    const std::string_view text = messages::localized(kFailedOpen);
    const std::string line = console_code_page() == CodePage::ShiftJis ? to_console_text(text) : std::string(text);
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    zov::show_error_box("Velmora BASIC", std::string(text.substr(0, text.size() - 1)));
}

}  // namespace

PrinterDevice system_printer_device(std::function<void(std::string_view)> console_text) {
    return PrinterDevice{
        [] { return read_printer_settings(ini_file_path()); },
        open_print_job,
        std::move(console_text),
        report_failed_open,
    };
}

int Printer::put(unsigned char byte, bool listing) {
    if (abandoned_) return -1;
    if (byte >= 32) return put_printable(byte);
    drop_pending();
    switch (byte) {
        case 7: device_.console_text("\a"); break;
        case 8:
            if (cursor_) cursor_->back_space();
            break;
        case 10:
            if (cursor_) cursor_->line_feed();
            break;
        case 13:
            if (cursor_) cursor_->carriage_return();
            break;
        case 12: form_feed(listing); break;
        default: break;
    }
    return byte;
}

void Printer::form_feed(bool listing) {
    if (!listing) page_too_small_ = false;
    if (!job_) return;
    if (!cursor_->at_home()) job_->end_page();
    cursor_->home();
    if (!listing) end_job();
}

void Printer::end_job() {
    if (!job_) return;
    // A job that drew nothing (only part of a character reached it) is dropped, not
    // delivered as a blank sheet.
    if (drawn_) job_->finish();
    job_.reset();
    cursor_.reset();
    drop_pending();
}

int Printer::open() {
    const PrinterSettings settings = device_.read_settings();
    std::unique_ptr<PrintJob> job = device_.open_job(settings);
    if (!job) {
        abandoned_ = true;
        device_.report_failed_open();
        return -1;
    }
    const PageLayout layout = make_page_layout(settings, job->page_width(), job->page_height());
    if (!layout.fits()) {
        // The job is dropped unprinted; the next job reads the settings again.
        page_too_small_ = true;
        device_.console_text(messages::localized("用紙サイズ不足\n"));
        return -1;
    }
    job_ = std::move(job);
    drawn_ = false;
    cursor_.emplace(layout);
    drop_pending();
    return 0;
}

int Printer::put_printable(unsigned char byte) {
    if (page_too_small_ || (!job_ && open() < 0)) return -1;
    if (console_code_page() == CodePage::ShiftJis) {
        if (lead_byte_ == 0 && base::is_shift_jis_lead(byte)) {
            lead_byte_ = byte;
            return byte;
        }
        std::string character;
        if (lead_byte_ != 0) character += static_cast<char>(lead_byte_);
        character += static_cast<char>(byte);
        lead_byte_ = 0;
        std::string utf8;
        place(cp932_to_utf8(character, utf8) ? std::string_view(utf8) : kReplacementCharacter,
              static_cast<int>(character.size()));
        return byte;
    }
    if (!pending_.empty() && (byte & 0xC0) == 0x80) {
        pending_ += static_cast<char>(byte);
        if (pending_.size() < static_cast<size_t>(utf8_sequence_length(static_cast<unsigned char>(pending_[0]))))
            return byte;
        std::string character;
        character.swap(pending_);
        if (is_valid_utf8(character))
            place(character, utf8_printed_width(reinterpret_cast<const unsigned char*>(character.data()),
                                                static_cast<int>(character.size())));
        else
            place(kReplacementCharacter, 1);
        return byte;
    }
    if (!pending_.empty()) {  // a sequence cut short
        pending_.clear();
        place(kReplacementCharacter, 1);
    }
    if (utf8_sequence_length(byte) > 1) {
        pending_ = static_cast<char>(byte);
        return byte;
    }
    const char single = static_cast<char>(byte);
    place(byte < 0x80 ? std::string_view(&single, 1) : kReplacementCharacter, 1);
    return byte;
}

void Printer::place(std::string_view utf8, int cells) {
    const Placement at = cursor_->place(cells);
    if (at.new_page) job_->end_page();
    job_->draw_text(at.x, at.y, utf8);
    drawn_ = true;
}
