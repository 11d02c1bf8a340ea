// Completion words: the dispatcher's statement keywords, the words that only appear
// inside statements, the numeric functions' table, the string functions, and every name
// found in the program's text or among its variables.
#include "prompt/completion.h"

#include <readline/readline.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>

#include "interp/dispatch.h"
#include "interp/vmbas.h"
#include "values/builtin_functions.h"
#include "values/text_scan.h"

namespace completion {
namespace {

// Keywords within statements, and names read without parentheses.
constexpr std::string_view kOtherWords[] = {"then", "to",  "step", "using", "as",  "base", "not",   "and",
                                            "or",   "xor", "imp",  "eqv",   "err", "erl",  "inkey$", "date$",
                                            "time$"};
constexpr std::string_view kStringFunctions[] = {"chr$",  "hex$",  "oct$",   "input$", "left$", "right$", "mid$",
                                                 "mki$",  "mks$",  "mkd$",   "space$", "str$",  "string$"};

const C_VMBAS* attached_vm = nullptr;
std::vector<std::string> pending;  // the matches that readline is taking one by one

std::string lower(std::string_view word) {
    std::string result(word);
    for (char& c : result) c = to_lower(c);
    return result;
}

// Words by their lower-case form; a word already there keeps its first spelling.
using WordMap = std::map<std::string, std::string>;

void add_word(WordMap& words, std::string_view word) { words.emplace(lower(word), std::string(word)); }

// Names in a line's text, outside string literals, comments and data; a name glued to
// a number ("2i", "1e5", "&hff") is part of that number.
void add_names_in(WordMap& words, std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '"') {
            const size_t close = text.find('"', i + 1);
            i = close == std::string_view::npos ? text.size() : close + 1;
            continue;
        }
        if (c == '\'') return;
        const bool glued = i > 0 && (is_name_char(text[i - 1]) || text[i - 1] == '&' || text[i - 1] == '.');
        if (!(is_letter(c) || c == '_') || glued) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < text.size() && is_name_char(text[end])) ++end;
        if (end < text.size() && (text[end] == '$' || text[end] == '%' || text[end] == '#')) ++end;
        const std::string_view name = text.substr(i, end - i);
        if (equals_nocase(name, "rem") || equals_nocase(name, "data")) return;
        if (name != "i") add_word(words, name);
        i = end;
    }
}

WordMap all_words(const C_VMBAS& vm) {
    WordMap words;
    for (std::string_view word : statement_keywords()) add_word(words, word);
    for (std::string_view word : kOtherWords) add_word(words, word);
    for (std::string_view name : builtin_function_names(vm)) add_word(words, std::string(name) + "(");
    for (std::string_view name : kStringFunctions) add_word(words, std::string(name) + "(");
    for (const ProgramLine* line = vm.program.first(); line; line = line->next) add_names_in(words, line->body());
    for (const auto& variable : vm.variables.records()) add_word(words, variable->name);
    return words;
}

char to_upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

bool in_capitals(std::string_view prefix) {
    return std::ranges::any_of(prefix, [](char c) { return c >= 'A' && c <= 'Z'; }) &&
           std::ranges::none_of(prefix, [](char c) { return c >= 'a' && c <= 'z'; });
}

char* next_match(const char*, int state) {
    static size_t next = 0;
    if (state == 0) next = 0;
    return next < pending.size() ? strdup(pending[next++].c_str()) : nullptr;
}

// Inside a string literal a file name runs from the opening quote on: its "/" and "~"
// are part of it, not breaks between words, so absolute and ~/ paths complete too.
int in_string_literal(char* line, int index) {
    return std::count(line, line + index, '"') % 2 == 1;
}

char** complete(const char* text, int, int) {
    // Inside a string literal readline's own file-name completion applies.
    if (rl_completion_quote_character == '"') return nullptr;
    rl_attempted_completion_over = 1;
    pending = candidates(*attached_vm, text);
    if (pending.size() == 1 && pending.front().ends_with('(')) rl_completion_append_character = '\0';
    return pending.empty() ? nullptr : rl_completion_matches(text, next_match);
}

}  // namespace

std::vector<std::string> candidates(const C_VMBAS& vm, std::string_view prefix) {
    const std::string key = lower(prefix);
    const bool capitals = in_capitals(prefix);
    std::vector<std::string> found;
    const WordMap words = all_words(vm);
    for (auto it = words.lower_bound(key); it != words.end() && it->first.starts_with(key); ++it) {
        std::string rest = it->second.substr(prefix.size());
        if (capitals) std::ranges::transform(rest, rest.begin(), [](char c) { return to_upper(c); });
        found.push_back(std::string(prefix) + rest);
    }
    return found;
}

void attach(const C_VMBAS& vm) {
    attached_vm = &vm;
    static char word_breaks[] = " \t\n\"'(),:;+-*/\\^=<>[]&?";
    static char quotes[] = "\"";
    rl_completer_word_break_characters = word_breaks;
    rl_completer_quote_characters = quotes;
    rl_attempted_completion_function = complete;
    rl_char_is_quoted_p = in_string_literal;
}

}  // namespace completion
