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

TEST(CodePage, CombiningMarksTakeNoColumn) {
    const std::string_view mark = "\u0301";
    EXPECT_EQ(utf8_display_width(reinterpret_cast<const unsigned char*>(mark.data()), 2), 0);
}

TEST(CodePage, ColumnsFollowTheEcho) {
    set_console_code_page(CodePage::Utf8);
    EXPECT_EQ(console_column_after("a\tb", 0), 9);      // TAB to the next stop of 8
    EXPECT_EQ(console_column_after("\t", 6), 8);
    EXPECT_EQ(console_column_after("\t", 8), 16);       // at a stop: a whole stop further
    EXPECT_EQ(console_column_after("\x01x", 0), 3);     // shown as ^A
    EXPECT_EQ(console_column_after("e\u0301あ", 2), 5);
    set_console_code_page(CodePage::ShiftJis);
    EXPECT_EQ(console_column_after("\x82\xa0\t", 0), 8);
    set_console_code_page(CodePage::Utf8);
}

TEST(CodePage, CutsWhereACharacterEnds) {
    set_console_code_page(CodePage::Utf8);
    EXPECT_EQ(character_boundary("abあい", 4), 2u);
    EXPECT_EQ(character_boundary("abあい", 5), 5u);
    EXPECT_EQ(character_boundary("abc", 5), 3u);
    EXPECT_EQ(character_boundary("a\x80\x80\x80", 2), 2u);  // stray bytes are single characters
    set_console_code_page(CodePage::ShiftJis);
    EXPECT_EQ(character_boundary("a\x82\xa0\x82\xa2", 4), 3u);
    EXPECT_EQ(character_boundary("\xb1\xb2\xb3", 2), 2u);   // halfwidth katakana: one byte each
    set_console_code_page(CodePage::Utf8);
}

}  // namespace
