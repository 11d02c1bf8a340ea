// The printed page: the cell grid arithmetic against cells computed by hand, and the
// printer's handling of control bytes, full pages and form feeds on a job that records
// its drawing. The language tests in
// tests/programs/printer check real pages.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "io/printer.h"
#include "io/printer_layout.h"
#include "io/printer_profile.h"

namespace {

constexpr int kA4Width = 4960, kA4Height = 7015;  // 210 x 297 mm at 600 dpi

PrinterSettings settings_with(int spacing, int left, int right, int top, int bottom) {
    PrinterSettings settings;
    settings.line_spacing = spacing;
    settings.left_margin = left, settings.right_margin = right;
    settings.top_margin = top, settings.bottom_margin = bottom;
    return settings;
}

TEST(printer_layout, DefaultSettingsOnA4) {
    const PageLayout layout = make_page_layout(PrinterSettings{}, kA4Width, kA4Height);
    EXPECT_EQ(layout.line_height, 168);  // 112 x 150 / 100
    EXPECT_EQ(layout.columns, 80);       // 4960 / 56 = 88, less 4 + 4
    EXPECT_EQ(layout.lines, 37);         // 7015 / 168 = 41, less 2 + 2
    EXPECT_EQ(layout.x_of(0), 224);
    EXPECT_EQ(layout.y_of(0), 336);
    EXPECT_EQ(layout.x_of(79), 4648);  // the last cell ends at 4704, 4 cells from the edge
    EXPECT_EQ(layout.y_of(36), 6384);
    EXPECT_TRUE(layout.fits());
}

TEST(printer_layout, PageOf80By60Cells) {
    const PageLayout layout = make_page_layout(PrinterSettings{}, 80 * 56, 60 * 112);
    EXPECT_EQ(layout.columns, 72);
    EXPECT_EQ(layout.lines, 36);  // 60 / 1.5 - 4
}

TEST(printer_layout, ExtremeSettings) {
    const PageLayout tight = make_page_layout(settings_with(100, 0, 0, 0, 0), kA4Width, kA4Height);
    EXPECT_EQ(tight.line_height, 112);
    EXPECT_EQ(tight.columns, 88);
    EXPECT_EQ(tight.lines, 62);  // 7015 / 112 = 62.6
    EXPECT_EQ(tight.y_of(61), 6832);

    const PageLayout wide = make_page_layout(settings_with(1000, 20, 20, 10, 10), kA4Width, kA4Height);
    EXPECT_EQ(wide.line_height, 1120);
    EXPECT_EQ(wide.columns, 48);
    EXPECT_EQ(wide.lines, -14);  // 6 - 20
    EXPECT_EQ(wide.x_of(0), 1120);
    EXPECT_FALSE(wide.fits());

    EXPECT_TRUE(make_page_layout(settings_with(1000, 4, 4, 2, 2), kA4Width, kA4Height).fits());  // 2 lines
    EXPECT_FALSE(make_page_layout(settings_with(1000, 4, 4, 3, 2), kA4Width, kA4Height).fits());
    EXPECT_FALSE(make_page_layout(settings_with(150, 20, 20, 0, 0), 47 * 56, kA4Height).fits());  // 7 columns
}

struct Drawn {
    int page, x, y;
    std::string text;
    bool operator==(const Drawn&) const = default;
};

struct Record {
    std::vector<Drawn> drawn;
    int page = 1, jobs_opened = 0, jobs_finished = 0;
    std::string console;
};

class RecordingJob : public PrintJob {
public:
    explicit RecordingJob(Record& record) : record_(record) { record_.page = 1; }
    int page_width() const override { return kA4Width; }
    int page_height() const override { return kA4Height; }
    void draw_text(int x, int y, std::string_view utf8) override {
        record_.drawn.push_back({record_.page, x, y, std::string(utf8)});
    }
    void end_page() override { ++record_.page; }
    bool finish() override {
        ++record_.jobs_finished;
        return true;
    }

private:
    Record& record_;
};

class PrinterBytes : public ::testing::Test {
protected:
    PrinterDevice device() {
        return {[this] { return settings_; },
                [this](const PrinterSettings&) -> std::unique_ptr<PrintJob> {
                    ++record_.jobs_opened;
                    return std::make_unique<RecordingJob>(record_);
                },
                [this](std::string_view text) { record_.console += text; }, [] {}};
    }
    void put(std::string_view bytes, bool listing = false) {
        for (char c : bytes) printer_.put(static_cast<unsigned char>(c), listing);
    }

    PrinterSettings settings_;
    Record record_;
    Printer printer_{device()};
};

TEST_F(PrinterBytes, ControlBytesMoveTheCursor) {
    put("ab\bc\rd\ne\a");
    const std::vector<Drawn> expected = {
        {1, 224, 336, "a"}, {1, 280, 336, "b"}, {1, 280, 336, "c"}, {1, 224, 336, "d"}, {1, 224, 504, "e"}};
    EXPECT_EQ(record_.drawn, expected);
    EXPECT_EQ(record_.console, "\a");
}

TEST_F(PrinterBytes, AFullPageStartsTheNextPageOfTheSameJob) {
    for (int line = 0; line < 38; ++line) put("L\n");
    EXPECT_EQ(record_.drawn[36], (Drawn{1, 224, 336 + 36 * 168, "L"}));
    EXPECT_EQ(record_.drawn[37], (Drawn{2, 224, 336, "L"}));
    EXPECT_EQ(record_.jobs_opened, 1);
    EXPECT_EQ(record_.jobs_finished, 0);
}

TEST_F(PrinterBytes, FormFeedEndsThePageAndOutsideAListingTheJob) {
    put("\f");
    EXPECT_EQ(record_.jobs_opened, 0);  // nothing printed: nothing happens
    put("a\f", true);
    EXPECT_EQ(record_.page, 2);
    EXPECT_EQ(record_.jobs_finished, 0);
    put("b\f");
    EXPECT_EQ(record_.drawn.back(), (Drawn{2, 224, 336, "b"}));
    EXPECT_EQ(record_.jobs_finished, 1);
    put("c");
    EXPECT_EQ(record_.jobs_opened, 2);
    printer_.end_job();
    EXPECT_EQ(record_.jobs_finished, 2);
}

TEST_F(PrinterBytes, AJobWithNothingDrawnDeliversNoBlankPage) {
    put("\xE3\f");  // a UTF-8 sequence cut short opens the job but draws nothing
    put("\xE3");
    printer_.end_job();
    EXPECT_EQ(record_.jobs_opened, 2);
    EXPECT_EQ(record_.jobs_finished, 0);
}

TEST(printer_profile, AddsMissingKeysAndKeepsTheRestOfTheFile) {
    const auto path = std::filesystem::temp_directory_path() / ("velmora_profile_" + std::to_string(::getpid()) + ".ini");
    const std::string original = "\xEF\xBB\xBF[prn]\r\n; mine\r\nleftmgn = 99\r\nLINESPC=abc\r\nPDFFILE=\"a b.pdf\"\r\n\r\n[other]\r\nUPMGN=7";
    std::ofstream(path, std::ios::binary) << original;
    const PrinterSettings settings = read_printer_settings(path.string());
    EXPECT_EQ(settings.left_margin, 20);
    EXPECT_EQ(settings.line_spacing, 100);  // no digits read as 0, clamped
    EXPECT_EQ(settings.top_margin, 2);      // another section's key is not ours
    EXPECT_EQ(settings.pdf_file, "a b.pdf");
    std::ifstream file(path, std::ios::binary);
    const std::string written{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    EXPECT_EQ(written, "\xEF\xBB\xBF[prn]\r\n; mine\r\nleftmgn = 99\r\nLINESPC=abc\r\nPDFFILE=\"a b.pdf\"\r\n"
                       "RIGHTMGN=4\r\nUPMGN=2\r\nDOWNMGN=2\r\nTABWID=8\r\n\r\n[other]\r\nUPMGN=7");
    std::filesystem::remove(path);
}

}  // namespace
