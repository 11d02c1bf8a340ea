// The program: numbered lines of source text in ascending order, indexed by number.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "values/text_scan.h"

namespace compiled {
struct CompiledLine;
struct CompiledLineDeleter {
    void operator()(CompiledLine* line) const;
};
}  // namespace compiled

struct ProgramLine;

// A place in a line's text, by offset from the text after its indentation: past the
// end it stands at the end, so it can never point outside the text, even when the
// line's text is replaced.
struct TextPosition {
    static constexpr int32_t kEnd = INT32_MAX;

    ProgramLine* line = nullptr;
    int32_t offset = 0;

    // `p` lies in the text of `line` (after its indentation).
    static TextPosition at(ProgramLine* line, const char* p);
    const char* text() const;
};

struct ProgramLine {
    int32_t number = 0;
    int32_t indentation = 0;  // blanks and tabs at the start of the text
    ProgramLine* next = nullptr;
    std::string text;  // as entered, indentation included
    // The statements of the text as the compiled engine translated them so far.
    std::unique_ptr<compiled::CompiledLine, compiled::CompiledLineDeleter> compiled;

    const char* body() const { return text.c_str() + indentation; }
    void set_text(std::string_view source);
};

inline const char* TextPosition::text() const {
    const auto length = static_cast<int32_t>(line->text.size()) - line->indentation;
    return line->body() + (offset < length ? offset : length);
}

class ProgramStore {
public:
    ProgramLine* first() const { return head_; }
    ProgramLine* find(int64_t number) const;
    // The first line, in program order, that begins with the label `*name`.
    ProgramLine* find_label(std::string_view name) const;
    bool empty() const { return lines_.empty(); }
    // Changes with every edit of the program: what was compiled before is stale.
    uint64_t generation() const { return generation_; }

    // Inserts or replaces line `number`; a null text deletes it.
    void store(int32_t number, const char* text);
    void erase_range(int32_t from, int32_t to);
    // Numbers the lines start, start + step, ... in their order; false (and nothing
    // changed) when a number would pass 2147483647.
    bool renumber(int64_t start, int64_t step);
    void clear();

    // The "#!" line a loaded file began with (empty when none): save writes it back, so
    // a program file that runs as a script from the shell stays one.
    std::string script_line;

private:
    using Lines = std::map<int32_t, std::unique_ptr<ProgramLine>>;
    void relink();
    void link_before(Lines::iterator it, ProgramLine* line);
    void index_labels() const;
    Lines lines_;
    ProgramLine* head_ = nullptr;
    uint64_t generation_ = 0;
    // Labels by name (without regard to case), built when first needed after a change.
    mutable std::unordered_map<std::string, ProgramLine*, NoCaseHash, NoCaseEqual> labels_;
    mutable bool labels_indexed_ = false;
};

// A line number as listings, saved files, edit, auto and error reports show it: right
// aligned in five columns, then a blank.
std::string line_number_prefix(int64_t number);

// Reads a line number of at least 1 after blanks (above 2147483647 counts as that);
// returns 0 and leaves the position when there is none.
int32_t parse_line_number(const char*& p);

// A line number or a "*label"; returns the designated line number or 0.
int32_t parse_jump_target(const ProgramStore& program, const char*& p);

// True when only a statement end follows: end of text, ":", "rem", "'" or "else".
bool at_statement_end(const char* p);
