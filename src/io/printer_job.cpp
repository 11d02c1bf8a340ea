// Print jobs: cairo draws the pages into a PDF in memory; the finished document is
// written to the PDFFILE file (replacing it only when whole) or given to CUPS.
#include "io/printer_job.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "base/whole_file_writer.h"
#include "io/cairo_library.h"
#include "io/code_page.h"
#include "io/printer_cups.h"
#include "io/printer_font.h"
#include "io/printer_layout.h"
#include "values/messages.h"
#include "zov/fontconfig_library.h"

namespace {

constexpr double kPointsPerPixel = 72.0 / kPrinterDpi;
constexpr int kHundredthsMmPerInch = 2540;

// A job is made only once open_print_job found the library.
const CairoLibrary& cairo() { return *cairo_library(); }

struct SurfaceFree {
    void operator()(cairo_surface_t* surface) const { cairo().cairo_surface_destroy(surface); }
};
struct ContextFree {
    void operator()(cairo_t* context) const { cairo().cairo_destroy(context); }
};

// The printer face at the cell height, or cairo's own serif face when fontconfig
// found none.
void select_printer_face(cairo_t* context) {
    if (const auto face = find_printer_face()) {
        // A face was found: fontconfig is open.
        const zov::FontconfigLibrary& fc = *zov::fontconfig_library();
        FcPattern* pattern = fc.FcPatternCreate();
        fc.FcPatternAddString(pattern, FC_FILE, reinterpret_cast<const FcChar8*>(face->path.c_str()));
        fc.FcPatternAddInteger(pattern, FC_INDEX, face->index);
        cairo_font_face_t* font = cairo().cairo_ft_font_face_create_for_pattern(pattern);
        fc.FcPatternDestroy(pattern);
        cairo().cairo_set_font_face(context, font);
        cairo().cairo_font_face_destroy(font);
    } else {
        cairo().cairo_select_font_face(context, "serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    }
    cairo().cairo_set_font_size(context, kCellHeight);
}

// The destination is a name in the console's code page already (a PDFFILE spelled in
// Shift-JIS stays Shift-JIS); only the fixed texts are converted.
void report_failure(const std::string& destination, const std::string& why) {
    const std::string line = to_console_text(messages::localized("印刷失敗: ")) + destination + ": " +
                             to_console_text(std::string(messages::localized(why)) + "\n");
    std::fputs(line.c_str(), stderr);
}

// A leading "~/" is the home folder; a relative name is taken from the current
// folder when the job starts.
std::string absolute_file_name(const std::string& name) {
    if (name.starts_with("~/")) {
        const char* home = std::getenv("HOME");
        return std::string(home ? home : "") + name.substr(1);
    }
    if (name.starts_with("/")) return name;
    char directory[4096];
    if (!getcwd(directory, sizeof directory)) return name;
    return std::string(directory) + "/" + name;
}

class PdfJob : public PrintJob {
public:
    PdfJob(std::string pdf_file, std::optional<CupsDestination> cups, int media_width, int media_length)
        : pdf_file_(std::move(pdf_file)), cups_(std::move(cups)) {
        const double width_points = media_width * 72.0 / kHundredthsMmPerInch;
        const double length_points = media_length * 72.0 / kHundredthsMmPerInch;
        page_width_ = media_width * kPrinterDpi / kHundredthsMmPerInch;
        page_height_ = media_length * kPrinterDpi / kHundredthsMmPerInch;
        surface_.reset(cairo().cairo_pdf_surface_create_for_stream(append, this, width_points, length_points));
        context_.reset(cairo().cairo_create(surface_.get()));
        cairo().cairo_scale(context_.get(), kPointsPerPixel, kPointsPerPixel);
        select_printer_face(context_.get());
        cairo_font_extents_t extents;
        cairo().cairo_font_extents(context_.get(), &extents);
        ascent_ = extents.ascent;
        cairo().cairo_set_source_rgb(context_.get(), 0, 0, 0);
    }

    int page_width() const override { return page_width_; }
    int page_height() const override { return page_height_; }

    void draw_text(int x, int y, std::string_view utf8) override {
        const std::string text(utf8);
        cairo().cairo_move_to(context_.get(), x, y + ascent_);
        cairo().cairo_show_text(context_.get(), text.c_str());
    }

    void end_page() override { cairo().cairo_show_page(context_.get()); }

    bool finish() override {
        context_.reset();
        cairo().cairo_surface_finish(surface_.get());
        const cairo_status_t status = cairo().cairo_surface_status(surface_.get());
        const std::string destination = cups_ ? cups_->name : pdf_file_;
        if (status != CAIRO_STATUS_SUCCESS) {
            report_failure(destination, cairo().cairo_status_to_string(status));
            return false;
        }
        std::string failure;
        const bool delivered = cups_ ? print_with_cups(*cups_, document_, failure) : write_pdf_file();
        if (!delivered) report_failure(destination, cups_ ? failure : "書き込み失敗");
        return delivered;
    }

private:
    static cairo_status_t append(void* job, const unsigned char* data, unsigned int length) {
        static_cast<PdfJob*>(job)->document_.append(reinterpret_cast<const char*>(data), length);
        return CAIRO_STATUS_SUCCESS;
    }

    bool write_pdf_file() const {
        return base::write_whole_file(pdf_file_, [this](std::FILE* file) {
            return std::fwrite(document_.data(), 1, document_.size(), file) == document_.size();
        });
    }

    std::string pdf_file_;
    std::optional<CupsDestination> cups_;
    int page_width_ = 0, page_height_ = 0;
    double ascent_ = 0;
    std::string document_;
    std::unique_ptr<cairo_surface_t, SurfaceFree> surface_;
    std::unique_ptr<cairo_t, ContextFree> context_;
};

}  // namespace

std::unique_ptr<PrintJob> open_print_job(const PrinterSettings& settings) {
    if (!cairo_library()) return nullptr;
    if (!settings.pdf_file.empty()) {
        const CupsDestination a4;
        return std::make_unique<PdfJob>(absolute_file_name(settings.pdf_file), std::nullopt, a4.media_width,
                                        a4.media_length);
    }
    auto cups = default_cups_destination();
    if (!cups) return nullptr;
    const int width = cups->media_width, length = cups->media_length;
    return std::make_unique<PdfJob>(std::string(), std::move(cups), width, length);
}
