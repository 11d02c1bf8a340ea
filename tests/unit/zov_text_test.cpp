// Text on surfaces: decoding both code pages, cells, the built-in font and FreeType.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "zov/font.h"
#include "zov/fontconfig_library.h"
#include "zov/freetype_library.h"
#include "zov/text_decode.h"

#include "zov_picture.h"

namespace {

using namespace zov;
using namespace zov_test;

// The box around every pixel that is not white, or an empty box.
struct Extent {
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
};
Extent drawn(const Surface& s) {
    Extent e;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            if (s.get_pixel(x, y) != white)
                e = {std::min(e.left, x), std::min(e.top, y), std::max(e.right, x), std::max(e.bottom, y)};
    return e;
}

TEST(ZovText, DecodesUtf8AndShiftJisIntoCells) {
    const auto utf8 = decode_text("a日\xff\xe3\x81", TextEncoding::Utf8);
    ASSERT_EQ(utf8.size(), 5u);
    EXPECT_EQ(utf8[0].code, U'a');
    EXPECT_EQ(utf8[1].code, U'日');
    EXPECT_EQ(utf8[1].cells, 2);
    for (int k = 2; k < 5; ++k) EXPECT_EQ(utf8[k].code, replacement_character);
    EXPECT_EQ(decode_text("\xc0\xaf", TextEncoding::Utf8)[0].code, replacement_character);  // overlong
    const auto sjis = decode_text("\x93\xfa\xb1\x81", TextEncoding::ShiftJis);
    ASSERT_EQ(sjis.size(), 3u);
    EXPECT_EQ(sjis[0].code, U'日');
    EXPECT_EQ(sjis[0].cells, 2);
    EXPECT_EQ(sjis[1].code, U'ｱ');
    EXPECT_EQ(sjis[2].code, replacement_character);  // a lead byte at the end
    EXPECT_EQ(decode_text(std::string("\x81\x00", 2), TextEncoding::ShiftJis).size(), 2u);
    EXPECT_EQ(decode_text("\x85\x40", TextEncoding::ShiftJis)[0].cells, 2);  // an empty code point
    EXPECT_EQ(text_cells("ab日本", TextEncoding::Utf8), 6);
    EXPECT_EQ(text_cells("\x93\xfa\x96\x7b", TextEncoding::ShiftJis), 4);
}

TEST(ZovText, BuiltinFontDrawsItsGlyphInsideTheCell) {
    Font font(Font::Source::Builtin);
    EXPECT_EQ(font.face_name(), "builtin");
    EXPECT_EQ(font.cell_width(), 8);
    EXPECT_EQ(font.cell_height(), 16);
    Surface s(40, 40);
    draw_text(s, font, 10, 10, "A", 0, -1, TextEncoding::Utf8);
    const Extent e = drawn(s);
    EXPECT_EQ(e.left, 11);  // the 5 x 7 design doubled in height, centred across
    EXPECT_EQ(e.right, 15);
    EXPECT_EQ(e.top, 10);
    EXPECT_EQ(e.bottom, 23);
    font.set_size(6, 8);
    Surface exact(12, 8);
    draw_text(exact, font, 0, 0, "A~", red, -1, TextEncoding::Utf8);
    EXPECT_EQ(picture(exact, 0, 0, 6, 8), ".###..\n#...#.\n#...#.\n#####.\n#...#.\n#...#.\n#...#.\n......\n");
}

TEST(ZovText, BackgroundFillsTheCellsAndEmptyTextDrawsNothing) {
    Font font(Font::Source::Builtin);
    Surface s(64, 32);
    EXPECT_EQ(draw_text(s, font, 0, 0, "", 0, int32_t(blue), TextEncoding::Utf8), 0);
    EXPECT_EQ(drawn(s).right, -1);
    draw_text(s, font, 4, 2, "x\xe6\x97\xa5", red, int32_t(blue), TextEncoding::Utf8);  // x and a wide character
    const Extent e = drawn(s);
    EXPECT_EQ(e.left, 4);
    EXPECT_EQ(e.right, 4 + 3 * 8 - 1);
    EXPECT_EQ(e.top, 2);
    EXPECT_EQ(e.bottom, 2 + 16 - 1);
    for (int y = e.top; y <= e.bottom; ++y)
        for (int x = e.left; x <= e.right; ++x) {
            const uint32_t p = s.get_pixel(x, y);
            ASSERT_TRUE(p == red || p == blue) << x << "," << y;
        }
}

TEST(ZovText, CellSizes) {
    Font font;
    EXPECT_EQ(font.cell_width(), Font::default_width);
    EXPECT_EQ(font.cell_height(), Font::default_height);
    font.set_size(10, 20);
    EXPECT_EQ(font.cell_width(), 10);
    EXPECT_EQ(font.cell_height(), 20);
    font.set_size(-5, 24);  // the natural width of a half-width character
    EXPECT_GT(font.cell_width(), 6);
    EXPECT_LT(font.cell_width(), 24);
    font.set_size(INT_MAX, INT_MIN);
    EXPECT_EQ(font.cell_width(), Font::max_cell);
    EXPECT_EQ(font.cell_height(), Font::default_height);
}

TEST(ZovText, FreeTypeGlyphsStayInTheirCells) {
    Font font;
    if (font.face_name() == "builtin") GTEST_SKIP() << "no font file on this machine";
    Surface s(200, 60);
    draw_text(s, font, 20, 10, "M", 0, -1, TextEncoding::Utf8);
    Extent e = drawn(s);
    EXPECT_GE(e.left, 20);
    EXPECT_LE(e.right, 27);
    EXPECT_GE(e.top, 10);
    EXPECT_LE(e.bottom, 25);
    EXPECT_GT(e.bottom - e.top, 6);  // a real glyph, not a dot
    Surface wide(200, 60);
    draw_text(wide, font, 20, 10, "\x93\xfa", 0, -1, TextEncoding::ShiftJis);  // 日 over two cells
    e = drawn(wide);
    EXPECT_LT(e.left, 28);
    EXPECT_GT(e.right, 28);
    EXPECT_LE(e.right, 35);
    Surface broken(200, 60);
    draw_text(broken, font, 0, 0, "\xff\xfe\xe3", 0, -1, TextEncoding::Utf8);  // replacement glyphs
    EXPECT_GT(drawn(broken).right, 0);
    EXPECT_EQ(draw_text(broken, font, INT_MAX, INT_MIN, "edge", 0, 0, TextEncoding::Utf8), 0);
}

TEST(ZovText, SymbolsShiftJisWritesInTwoBytesTakeTwoCellsInUtf8Too) {
    // A → B ○ C ① D, and the same in CP932: D begins in cell 9 either way.
    const std::string utf8 = "A\u2192B\u25cbC\u2460D", sjis = "A\x81\xa8" "B\x81\x9b" "C\x87\x40" "D";
    EXPECT_EQ(text_cells(utf8, TextEncoding::Utf8), 10);
    EXPECT_EQ(text_cells(sjis, TextEncoding::ShiftJis), 10);
    // Latin letters with accents and half-width katakana stay one cell; wide characters
    // Shift-JIS lacks (Hangul) stay two.
    EXPECT_EQ(text_cells("\u00e9\uff71\uac00", TextEncoding::Utf8), 4);
    for (Font font : {Font(), Font(Font::Source::Builtin)}) {
        Surface in_utf8(100, 20), in_sjis(100, 20);
        draw_text(in_utf8, font, 2, 2, utf8, 0, -1, TextEncoding::Utf8);
        draw_text(in_sjis, font, 2, 2, sjis, 0, -1, TextEncoding::ShiftJis);
        EXPECT_EQ(picture(in_utf8, 0, 0, 100, 20), picture(in_sjis, 0, 0, 100, 20)) << font.face_name();
        draw_text(in_utf8, font, 2, 2, utf8, 0, int32_t(blue), TextEncoding::Utf8);
        EXPECT_EQ(drawn(in_utf8).right, 2 + 10 * 8 - 1);
    }
}

// A SONAME or function name the installed libraries lack would leave all text in the
// built-in font, which the test above takes for a machine without font files.
TEST(ZovText, FontconfigAndFreeTypeOpen) {
    EXPECT_NE(zov::fontconfig_library(), nullptr);
    EXPECT_NE(zov::freetype_library(), nullptr);
}

// The face is chosen once per process, so each choice runs in a fresh one.
void expect_face(const char* chosen, const std::string& family) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("ZOV_GOTHIC", chosen, 1);
            std::exit(Font().face_name() == family ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "")
        << chosen;
}

TEST(ZovText, ZovGothicNamesAFontFileOrAFamily) {
    const char* file = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
    if (!std::filesystem::exists(file)) GTEST_SKIP() << "DejaVu Sans Mono is not installed";
    expect_face(file, "DejaVu Sans Mono");
    expect_face("DejaVu Sans Mono", "DejaVu Sans Mono");
    const std::string fallback = Font().face_name();
    expect_face("No Such Face Anywhere", fallback);
    expect_face("/no/such/file.ttf", fallback);
}

}  // namespace
