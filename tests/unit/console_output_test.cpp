// The byte writer put_char in both console code pages: columns, wrapping, tab stops,
// caret pairs and characters kept whole. Bytes are checked on a channel opened on a
// temporary file; the column rules are the same on every channel but for the
// console's BEL.
#include <gtest/gtest.h>

#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "io/channel_table.h"
#include "io/code_page.h"

namespace {

constexpr int kFile = 1;

class ConsoleOutput : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = std::filesystem::temp_directory_path() /
                ("velmora_console_output_" + std::to_string(::getpid()) + ".txt");
        ASSERT_EQ(io_.open(kFile, path_.string(), MODE_OUTPUT, "w", 0), 0);
    }
    void TearDown() override {
        io_.close(kFile);
        std::filesystem::remove(path_);
        set_console_code_page(CodePage::Utf8);
    }

    void put(std::string_view bytes) {
        for (char c : bytes) io_.put_char(kFile, static_cast<unsigned char>(c));
    }
    int column() { return io_.record(kFile).column; }
    void set_width(int width) { io_.record(kFile).width = width; }

    // Everything written so far; the channel is closed by reading it.
    std::string written() {
        io_.close(kFile);
        std::ifstream in(path_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    C_FILEIO io_;
    std::filesystem::path path_;
};

class console_sjis : public ConsoleOutput {
protected:
    void SetUp() override {
        ConsoleOutput::SetUp();
        set_console_code_page(CodePage::ShiftJis);
    }
};

class console_utf8 : public ConsoleOutput {
protected:
    void SetUp() override {
        ConsoleOutput::SetUp();
        set_console_code_page(CodePage::Utf8);
    }
};

const std::string kA = "\x82\xa0";  // あ in Shift-JIS
const std::string kI = "\x82\xa2";  // い in Shift-JIS

TEST_F(console_sjis, DoubleByteCharacterTakesTwoColumns) {
    put(kA + kI);
    EXPECT_EQ(column(), 4);
    EXPECT_EQ(written(), kA + kI);
}

TEST_F(console_sjis, LeadByteWaitsForItsTrailByte) {
    EXPECT_EQ(io_.put_char(kFile, 0x82), 0x82);
    EXPECT_EQ(column(), 0);
    EXPECT_EQ(io_.record(kFile).lead_byte, 0x82);
    EXPECT_EQ(io_.put_char(kFile, 0xa0), 0xa0);
    EXPECT_EQ(column(), 2);
    EXPECT_EQ(io_.record(kFile).lead_byte, 0);
}

TEST_F(console_sjis, LeadByteRanges) {
    for (int lead : {0x81, 0x9f, 0xe0, 0xfc}) {
        io_.put_char(kFile, static_cast<unsigned char>(lead));
        EXPECT_EQ(io_.record(kFile).lead_byte, lead) << lead;
        io_.put_char(kFile, 0x40);
    }
    EXPECT_EQ(column(), 8);
    for (int single : {0x80, 0xa0, 0xb1, 0xdf, 0xfd, 0x7f}) {
        io_.put_char(kFile, static_cast<unsigned char>(single));
        EXPECT_EQ(io_.record(kFile).lead_byte, 0) << single;
    }
    EXPECT_EQ(column(), 14);
}

TEST_F(console_sjis, AnyByteAfterALeadIsItsTrail) {
    put("\x82" "A");
    EXPECT_EQ(column(), 2);
    EXPECT_EQ(written(), "\x82" "A");
}

TEST_F(console_sjis, PendingLeadIsWrittenAtClose) {
    put("ab\x82");
    EXPECT_EQ(written(), "ab\x82");
}

TEST_F(console_sjis, DoubleByteCharacterInTheLastColumnMovesWhole) {
    set_width(20);
    put(std::string(19, 'a') + kA);
    EXPECT_EQ(column(), 2);
    EXPECT_EQ(written(), std::string(19, 'a') + "\n" + kA);
}

TEST_F(console_sjis, DoubleByteCharacterFillsTheLine) {
    set_width(20);
    put(std::string(18, 'a') + kA);
    EXPECT_EQ(column(), 20);
    put("b");
    EXPECT_EQ(written(), std::string(18, 'a') + kA + "\nb");
}

TEST_F(console_sjis, LeadByteAtTheWidthWrapsBeforeItIsKept) {
    set_width(20);
    put(std::string(20, 'a') + kA);
    EXPECT_EQ(written(), std::string(20, 'a') + "\n" + kA);
}

TEST_F(console_sjis, AsciiInTheLastColumnStays) {
    set_width(20);
    put(std::string(19, 'a') + "z");
    EXPECT_EQ(column(), 20);
    EXPECT_EQ(written(), std::string(19, 'a') + "z");
}

TEST_F(console_sjis, ControlByteDropsAPendingLead) {
    put("\x82\n");
    EXPECT_EQ(io_.record(kFile).lead_byte, 0);
    put("\x82\x01");
    EXPECT_EQ(written(), "\n^A");
}

TEST_F(console_sjis, CaretPairInTheLastColumnMovesWhole) {
    set_width(20);
    put(std::string(19, 'x') + "\x1b");
    EXPECT_EQ(column(), 2);
    EXPECT_EQ(written(), std::string(19, 'x') + "\n^[");
}

TEST_F(console_sjis, TabStopsCountDoubleByteCharacters) {
    put(kA + "\t" + "x");
    EXPECT_EQ(column(), 9);
    EXPECT_EQ(written(), kA + "      x");
}

TEST_F(console_sjis, FormattedOutputKeepsPairs) {
    set_width(15);
    EXPECT_EQ(io_.chan_printf(kFile, "%s%s", std::string(13, 'a').c_str(), kA.c_str()), 15);
    EXPECT_EQ(column(), 15);
    EXPECT_EQ(io_.chan_printf(kFile, "%s", kI.c_str()), 2);
    EXPECT_EQ(written(), std::string(13, 'a') + kA + "\n" + kI);
}

TEST_F(console_sjis, MessagesAreConverted) {
    EXPECT_EQ(to_console_text("幅指定が無効"), "\x95\x9d\x8e\x77\x92\xe8\x82\xaa\x96\xb3\x8c\xf8");
    EXPECT_EQ(to_console_text("CR:続き ESC:中止"), "CR:\x91\xb1\x82\xab ESC:\x92\x86\x8e\x7e");
    EXPECT_EQ(to_console_text("OK\n"), "OK\n");
}

TEST_F(console_utf8, MessagesStayAsTheyAre) { EXPECT_EQ(to_console_text("幅指定が無効"), "幅指定が無効"); }

TEST_F(console_utf8, WideCharacterTakesTwoColumns) {
    put("あい");
    EXPECT_EQ(column(), 4);
    EXPECT_EQ(written(), "あい");
}

TEST_F(console_utf8, NarrowCharactersTakeOneColumn) {
    put("éαｱ");
    EXPECT_EQ(column(), 3);
}

TEST_F(console_utf8, FourByteWideCharacter) {
    put("\xf0\x9f\x98\x80");  // U+1F600
    EXPECT_EQ(column(), 2);
    EXPECT_EQ(written(), "\xf0\x9f\x98\x80");
}

TEST_F(console_utf8, SequenceWaitsUntilComplete) {
    put("\xe3\x81");
    EXPECT_EQ(column(), 0);
    put("\x82");
    EXPECT_EQ(column(), 2);
}

TEST_F(console_utf8, WideCharacterInTheLastColumnMovesWhole) {
    set_width(20);
    put(std::string(19, 'a') + "あ");
    EXPECT_EQ(column(), 2);
    EXPECT_EQ(written(), std::string(19, 'a') + "\nあ");
}

TEST_F(console_utf8, WideCharacterFillsTheLine) {
    set_width(20);
    put(std::string(18, 'a') + "あ");
    EXPECT_EQ(column(), 20);
    put("b");
    EXPECT_EQ(written(), std::string(18, 'a') + "あ\nb");
}

TEST_F(console_utf8, NarrowCharacterInTheLastColumnStays) {
    set_width(20);
    put(std::string(19, 'a') + "é");
    EXPECT_EQ(column(), 20);
    put("é");
    EXPECT_EQ(written(), std::string(19, 'a') + "é\né");
}

TEST_F(console_utf8, SequenceCutShortIsWrittenByteByByte) {
    put("\xe3\x81" "x");
    EXPECT_EQ(column(), 3);
    put("\xe3\n");
    EXPECT_EQ(column(), 0);
    EXPECT_EQ(written(), "\xe3\x81" "x\xe3\n");
}

TEST_F(console_utf8, SequenceCutShortAtTheWidthWraps) {
    set_width(20);
    put(std::string(20, 'a') + "\xe3" "x");
    EXPECT_EQ(column(), 2);
    EXPECT_EQ(written(), std::string(20, 'a') + "\n\xe3" "x");
}

TEST_F(console_utf8, UnfinishedSequenceIsWrittenAtClose) {
    put("ab\xe3\x81");
    EXPECT_EQ(written(), "ab\xe3\x81");
}

TEST_F(console_utf8, StrayContinuationByteTakesOneColumn) {
    put("\x81");
    EXPECT_EQ(column(), 1);
}

TEST_F(console_utf8, TabStopsCountWideCharacters) {
    put("あ\tx");
    EXPECT_EQ(column(), 9);
    EXPECT_EQ(written(), "あ      x");
}

TEST_F(console_utf8, CaretPairs) {
    put(std::string("\x01\x1b\x1f\x0c", 4));
    io_.put_char(kFile, 0);
    EXPECT_EQ(column(), 10);
    EXPECT_EQ(written(), "^A^[^_^L^@");
}

TEST_F(console_utf8, BellShowsAsCaretPairOutsideTheConsole) {
    put("\x07");
    EXPECT_EQ(column(), 2);
    EXPECT_EQ(written(), "^G");
}

TEST_F(console_utf8, BackspaceCarriageReturnAndNewline) {
    put("ab\b");
    EXPECT_EQ(column(), 1);
    put("\r");
    EXPECT_EQ(column(), 0);
    put("\b");
    EXPECT_EQ(column(), 0);
    put("cd\n");
    EXPECT_EQ(column(), 0);
    EXPECT_EQ(written(), "ab\b\r\bcd\n");
}

TEST_F(console_utf8, TabStops) {
    put("abcde\t");
    EXPECT_EQ(column(), 8);
    put("\t");
    EXPECT_EQ(column(), 16);
    EXPECT_EQ(written(), "abcde" + std::string(11, ' '));
}

TEST_F(console_utf8, TabStopsAtTheWidth) {
    set_width(20);
    put(std::string(17, 'a') + "\t");
    EXPECT_EQ(column(), 20);
    put("\t");
    EXPECT_EQ(column(), 8);
    EXPECT_EQ(written(), std::string(17, 'a') + "   \n" + std::string(8, ' '));
}

TEST_F(console_utf8, FormattedOutputIsCut) {
    const std::string long_text(3000, 'a');
    EXPECT_EQ(io_.chan_printf(kFile, "%s", long_text.c_str()), 2550);
    EXPECT_EQ(column(), 2550);
    EXPECT_EQ(written().size(), 2550u);
}

TEST(console_channels, InvalidChannelsWriteNothing) {
    C_FILEIO io;
    EXPECT_EQ(io.put_char(CHANNEL_INVALID, 'a'), -1);
    EXPECT_EQ(io.chan_printf(CHANNEL_INVALID, "%s", "abc"), 0);
    EXPECT_EQ(io.chan_printf(kFile, nullptr), 0);
    EXPECT_EQ(io.put_char(kFile, 'a'), -1);  // not open
    EXPECT_EQ(io.record(kFile).column, 0);
}

TEST(console_channels, BellOnTheConsoleIsRaw) {
    C_FILEIO io;
    EXPECT_EQ(io.put_char(CHANNEL_CONSOLE, 7), 7);
    EXPECT_EQ(io.record(CHANNEL_CONSOLE).column, 0);
}

TEST(console_channels, FormFeedOnThePrinterIsRaw) {
    C_FILEIO io;
    EXPECT_EQ(io.put_char(CHANNEL_PRINTER, 12), 12);
    EXPECT_EQ(io.record(CHANNEL_PRINTER).column, 1);
}

TEST(console_channels, FormFeedOnThePrinterWrapsLikeAPair) {
    C_FILEIO io;
    // No printer is reached: it cannot be opened, quietly.
    io.printer().set_device({[] { return PrinterSettings{}; }, [](const PrinterSettings&) { return nullptr; },
                             [](std::string_view) {}, [] {}});
    IO_DATA& printer = io.record(CHANNEL_PRINTER);
    printer.width = 20;
    for (int i = 0; i < 19; ++i) io.put_char(CHANNEL_PRINTER, 'a');
    EXPECT_EQ(io.put_char(CHANNEL_PRINTER, 12), 12);
    EXPECT_EQ(printer.column, 1);  // a new line was started before it
}

// The code page follows the locale; a Shift-JIS locale is not on every machine.
TEST(console_channels, CodePageFollowsTheLocale) {
    const char* saved = std::getenv("LC_ALL");
    const std::string old_value = saved ? saved : "";
    ::setenv("LC_ALL", "C.UTF-8", 1);
    detect_console_code_page();
    EXPECT_EQ(console_code_page(), CodePage::Utf8);
    const bool have_sjis = std::setlocale(LC_CTYPE, "ja_JP.SJIS") != nullptr;
    if (have_sjis) {
        ::setenv("LC_ALL", "ja_JP.SJIS", 1);
        detect_console_code_page();
        EXPECT_EQ(console_code_page(), CodePage::ShiftJis);
        // What new interpreters start with goes back to UTF-8 too.
        ::setenv("LC_ALL", "C.UTF-8", 1);
        detect_console_code_page();
    }
    if (saved) ::setenv("LC_ALL", old_value.c_str(), 1);
    else ::unsetenv("LC_ALL");
    std::setlocale(LC_CTYPE, "C");
    set_console_code_page(CodePage::Utf8);
    if (!have_sjis) GTEST_SKIP() << "no ja_JP.SJIS locale on this machine";
}

}  // namespace
