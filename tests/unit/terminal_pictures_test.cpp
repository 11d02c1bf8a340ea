// Choosing how pictures reach the user: the inline protocol from the environment and
// from the terminal's answers, the size a picture is shown at, and the window zoom.
#include <gtest/gtest.h>

#include "io/inline_picture.h"
#include "io/terminal_graphics.h"
#include "zov/window_zoom.h"

namespace {

std::optional<InlineProtocol> chosen(std::string_view requested, std::string_view program = "",
                                    std::string_view version = "", std::string_view lc_terminal = "",
                                    bool in_tmux = false, std::string_view term = "xterm-256color") {
    return protocol_from_environment({requested, term, program, version, lc_terminal, in_tmux});
}

TEST(InlineProtocol, TheRequestWinsThenTmuxThenTheTerminalsThatSayWhoTheyAre) {
    EXPECT_EQ(chosen("off", "iTerm.app"), InlineProtocol::None);
    EXPECT_EQ(chosen("sixel", "", "", "", true), InlineProtocol::Sixel);
    EXPECT_EQ(chosen("kitty"), InlineProtocol::Kitty);
    // An unknown request is no request.
    EXPECT_EQ(chosen("png", "WezTerm"), InlineProtocol::Iterm);
    EXPECT_EQ(chosen("", "tmux", "3.3a", "iTerm2", true), InlineProtocol::Blocks);
    EXPECT_EQ(chosen("", "", "", "", true), InlineProtocol::Blocks);
    EXPECT_EQ(chosen("", "tmux", "3.4", "", true), std::nullopt);
    EXPECT_EQ(chosen("", "tmux", "next-3.10", "", true), std::nullopt);
    EXPECT_EQ(chosen("", "vscode"), InlineProtocol::Iterm);
    EXPECT_EQ(chosen("", "", "", "iTerm2"), InlineProtocol::Iterm);
    EXPECT_EQ(chosen("", "xterm"), std::nullopt);
    EXPECT_EQ(chosen("", "", "", "", false, "dumb"), InlineProtocol::Silent);
    EXPECT_EQ(chosen("", "", "", "", false, "linux"), InlineProtocol::Blocks);
    EXPECT_EQ(chosen("kitty", "", "", "", false, "dumb"), InlineProtocol::Kitty);
}

TEST(InlineProtocol, AnswersAreTakenOutOfTheKeysTypedMeanwhile) {
    std::string typed;
    TerminalAnswers answers = parse_answers("a\x1b_Gi=31;OK\x1b\\\x1b[A\x1b[6;20;10t\x1b[?62;22c\r", typed);
    EXPECT_EQ(typed, "a\x1b[A\r");
    EXPECT_TRUE(answers.answered && answers.kitty_graphics && !answers.sixel);
    EXPECT_EQ(answers.cell_width, 10);
    EXPECT_EQ(answers.cell_height, 20);
    EXPECT_EQ(protocol_from_answers(answers), InlineProtocol::Kitty);

    typed.clear();
    answers = parse_answers("\x1b_Gi=31;ENOTSUPPORTED:no\x1b\\\x1b[?63;1;4;22c\x1b[?6", typed);
    EXPECT_EQ(protocol_from_answers(answers), InlineProtocol::Sixel);
    EXPECT_EQ(typed, "\x1b[?6");  // cut short: not an answer
    EXPECT_EQ(protocol_from_answers(parse_answers("\x1b[?1;2c", typed)), InlineProtocol::Blocks);
    EXPECT_EQ(protocol_from_answers(parse_answers("\x1b[4c", typed)), InlineProtocol::Silent);
}

TEST(PictureFit, ShrinksToTheTerminalsWidthButNeverEnlarges) {
    const PictureFit small = fit_picture(100, 50, {80, 10, 20});
    EXPECT_FALSE(small.scaled);
    EXPECT_EQ(small.width, 100);
    EXPECT_EQ(small.columns, 10);
    EXPECT_EQ(small.rows, 3);

    const PictureFit wide = fit_picture(1600, 1201, {80, 10, 20});
    EXPECT_TRUE(wide.scaled);
    EXPECT_EQ(wide.width, 800);
    EXPECT_EQ(wide.height, 601);
    EXPECT_EQ(wide.columns, 80);
    EXPECT_EQ(wide.rows, 31);

    // Unreported cells count as 8 x 16.
    const PictureFit assumed = fit_picture(800, 600, {80, 0, 0});
    EXPECT_TRUE(assumed.scaled);
    EXPECT_EQ(assumed.height, 480);
    EXPECT_EQ(assumed.columns, 80);
    EXPECT_EQ(assumed.rows, 30);
    EXPECT_EQ(fit_picture(160, 100, {80, 0, 0}).rows, 7);
    EXPECT_EQ(fit_picture(2000, 1, {10, 8, 16}).height, 1);
}

TEST(WindowZoom, RequestThenDesktopScaleThenDpi) {
    EXPECT_EQ(zov::zoom_for("3", "2", "1", 96), 3);
    EXPECT_EQ(zov::zoom_for("9", "2", nullptr, 96), 2);    // out of range: ignored
    EXPECT_EQ(zov::zoom_for("1.5", nullptr, "1.5", 96), 2);  // not whole: ignored
    EXPECT_EQ(zov::zoom_for(nullptr, "x", "1.25", 300), 1);
    EXPECT_EQ(zov::zoom_for(nullptr, nullptr, "20", 96), 8);
    EXPECT_EQ(zov::zoom_for("", "", "", 192), 2);
    EXPECT_EQ(zov::zoom_for(nullptr, nullptr, nullptr, 120), 1);
    EXPECT_EQ(zov::zoom_for(nullptr, nullptr, nullptr, 0), 1);
}

TEST(WindowZoom, ScreenPixelsBelongToThePicturePixelCoveringThem) {
    EXPECT_EQ(zov::picture_coordinate(5, 2), 2);
    EXPECT_EQ(zov::picture_coordinate(0, 3), 0);
    EXPECT_EQ(zov::picture_coordinate(-1, 2), -1);
    EXPECT_EQ(zov::picture_coordinate(-2, 2), -1);
    EXPECT_EQ(zov::picture_coordinate(-3, 2), -2);
}

}  // namespace
