// instr's search against the standard library's, over strings of every length up to
// 255 bytes: a place tested past the end of a block, a match that begins in one block
// and ends in the next, or one at the very end would show as a difference.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "values/text_search.h"

namespace {

size_t expected(const std::string& text, const std::string& sought) {
    if (text.empty()) return 0;
    const size_t at = text.find(sought);
    return at == std::string::npos ? 0 : at + 1;
}

TEST(TextSearch, AgreesWithFindOnEveryLength) {
    std::mt19937 random(12345);
    // Few letters, so that partial matches and near misses are frequent.
    const auto letters = [&](size_t length) {
        std::string text;
        for (size_t k = 0; k < length; ++k) text += static_cast<char>('a' + random() % 3);
        return text;
    };
    for (size_t length = 0; length <= 255; ++length) {
        for (int trial = 0; trial < 40; ++trial) {
            // Each text in a buffer of its own length, so that a read past its end is
            // seen by the address sanitizer.
            const std::string text = letters(length);
            const std::string sought = letters(1 + random() % 6);
            ASSERT_EQ(instr_position(text, sought), expected(text, sought)) << text << " / " << sought;
            if (length >= 2) {
                const std::string tail = text.substr(length - 2 - random() % std::min<size_t>(length - 1, 5));
                ASSERT_EQ(instr_position(text, tail), expected(text, tail)) << text << " / " << tail;
            }
        }
    }
}

TEST(TextSearch, EdgeCases) {
    EXPECT_EQ(instr_position("", ""), 0u);
    EXPECT_EQ(instr_position("", "a"), 0u);
    EXPECT_EQ(instr_position("abc", ""), 1u);
    EXPECT_EQ(instr_position("abc", "abcd"), 0u);
    EXPECT_EQ(instr_position("abc", "abc"), 1u);
    // Bytes above 127 compare as bytes.
    EXPECT_EQ(instr_position("x\xe3\x81\x82y", "\x81\x82"), 3u);
    const std::string long_text = std::string(200, 'k') + "ka";
    EXPECT_EQ(instr_position(long_text, "ka"), 201u);
    EXPECT_EQ(instr_position(long_text, "kak"), 0u);
}

}  // namespace
