// Program files from the Shift-JIS days load as UTF-8; UTF-8 checks and widths.
#include <gtest/gtest.h>

#include "io/code_page.h"

namespace {

TEST(CodePage, RecognisesValidUtf8) {
    EXPECT_TRUE(is_valid_utf8("print \"あいう\""));
    EXPECT_TRUE(is_valid_utf8(""));
    EXPECT_FALSE(is_valid_utf8("\x82\xa0"));      // Shift-JIS あ
    EXPECT_FALSE(is_valid_utf8("\xe3\x81"));      // cut short
    EXPECT_FALSE(is_valid_utf8("\xc0\xaf"));      // overlong form
}

TEST(CodePage, ConvertsShiftJisToUtf8) {
    std::string utf8;
    ASSERT_TRUE(cp932_to_utf8("print \"\x82\xa0\x82\xa2\"", utf8));
    EXPECT_EQ(utf8, "print \"あい\"");
    EXPECT_FALSE(cp932_to_utf8("\x82", utf8));  // a lead byte without its trail byte
}

TEST(CodePage, ConvertsFixedTextsOnlyInShiftJisMode) {
    set_console_code_page(CodePage::Utf8);
    EXPECT_EQ(to_console_text("エラー"), "エラー");
    set_console_code_page(CodePage::ShiftJis);
    EXPECT_EQ(to_console_text("エラー"), "\x83\x47\x83\x89\x81\x5b");
    set_console_code_page(CodePage::Utf8);
}

TEST(CodePage, WideCharactersTakeTwoColumns) {
    auto width = [](std::string_view s) {
        return utf8_display_width(reinterpret_cast<const unsigned char*>(s.data()), static_cast<int>(s.size()));
    };
    EXPECT_EQ(width("あ"), 2);
    EXPECT_EQ(width("漢"), 2);
    EXPECT_EQ(width("Ａ"), 2);  // fullwidth
    EXPECT_EQ(width("α"), 1);
    EXPECT_EQ(width("é"), 1);
    EXPECT_EQ(width("ｱ"), 1);  // halfwidth katakana
}

}  // namespace
