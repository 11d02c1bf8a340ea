// The entries of `help WORD`: one for every statement keyword, built-in function and
// operator, in one table. Their texts are Japanese, shown in the user's language.
#pragma once
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct HelpEntry {
    std::string_view words;    // the words it answers, "|" between them
    std::string_view syntax;
    std::string_view text;     // one or two sentences
    std::string_view example;  // lines to type at the OK prompt, "\n" between them
    std::string_view related;  // words with entries of their own, blank between them
};

std::span<const HelpEntry> help_entries();

// The words of every entry, each as it is written in the table.
std::vector<std::string_view> help_words();

// The entry of `word`: letter case and the blanks between its parts do not matter,
// nor a "(" or "()" after a function's name.
const HelpEntry* find_help_entry(std::string_view word);

// The entries' words nearest to `word` in spelling (fewest letters changed, or beginning
// with `word`), at most `count` of them.
std::vector<std::string_view> nearest_help_words(std::string_view word, size_t count);
