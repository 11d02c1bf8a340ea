// Small scanning helpers shared by every parser that works directly on source text:
// a text position is a `const char*` into a NUL-terminated line, advanced on success only.
#pragma once
#include <string_view>
#include <vector>

inline bool is_blank(char c) { return c == ' ' || c == '\t'; }
inline bool is_digit(char c) { return c >= '0' && c <= '9'; }
inline bool is_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline bool is_name_char(char c) { return is_letter(c) || is_digit(c) || c == '_'; }
inline char to_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

inline const char* skip_blanks(const char* p) {
    while (is_blank(*p)) ++p;
    return p;
}

// Case-insensitive prefix test of exactly keyword.size() characters.
inline bool starts_with_nocase(const char* p, std::string_view keyword) {
    for (char k : keyword) {
        if (to_lower(*p) != to_lower(k)) return false;
        ++p;
    }
    return true;
}

// The keyword rule of expressions: after blanks, the keyword matches without regard
// to case and, when it ends in a name character, must not be followed by one.
inline int match_keyword(const char*& p, std::string_view keyword) {
    if (keyword.empty()) return -1;
    const char* q = skip_blanks(p);
    if (!starts_with_nocase(q, keyword)) return -1;
    q += keyword.size();
    if (is_name_char(keyword.back()) && is_name_char(*q)) return -1;
    p = q;
    return 0;
}

// A call of `name` at `p`: the whole word, then "(" after blanks.
inline bool names_call(const char* p, std::string_view name) {
    return match_keyword(p, name) == 0 && *skip_blanks(p) == '(';
}

// The characters that begin a comparison operator.
inline bool is_comparison_start(char c) { return c == '!' || c == '<' || c == '=' || c == '>'; }

inline bool equals_nocase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (to_lower(a[i]) != to_lower(b[i])) return false;
    return true;
}

// Hashing and equality without regard to case, for maps of names that are looked up
// by views of the source text (no copy per lookup).
struct NoCaseHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const {
        size_t hash = 14695981039346656037ull;
        for (char c : s) hash = (hash ^ static_cast<unsigned char>(to_lower(c))) * 1099511628211ull;
        return hash;
    }
};

struct NoCaseEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return equals_nocase(a, b); }
};

// The parts of `text` between the separators, empty ones included, as std::views::split
// gives them (which clang's standard library of Debian 12 cannot compile here).
inline std::vector<std::string_view> split_text(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (size_t at; (at = text.find(separator)) != std::string_view::npos; text.remove_prefix(at + 1))
        parts.push_back(text.substr(0, at));
    parts.push_back(text);
    return parts;
}
