// Program lines, labels, jump targets.
#include "interp/program_store.h"

#include <algorithm>

#include <cstdio>

#include "values/error.h"
#include "values/names.h"
#include "values/text_scan.h"

void ProgramLine::set_text(std::string_view source) {
    text.assign(source);
    indentation = 0;
    while (indentation < static_cast<int32_t>(text.size()) && is_blank(text[indentation])) ++indentation;
}

TextPosition TextPosition::at(ProgramLine* line, const char* p) {
    return line ? TextPosition{line, static_cast<int32_t>(p - line->body())} : TextPosition{};
}

ProgramLine* ProgramStore::find(int64_t number) const {
    if (number < 1 || number > INT32_MAX) return nullptr;
    auto it = lines_.find(static_cast<int32_t>(number));
    return it == lines_.end() ? nullptr : it->second.get();
}

// A line carries a label when its text begins with "*" and a whole name that no
// further name character follows, blanks aside; the first line with a name wins.
void ProgramStore::index_labels() const {
    labels_.clear();
    for (ProgramLine* line = head_; line; line = line->next) {
        const char* p = skip_blanks(line->text.c_str());
        if (*p != '*') continue;
        const char* start = ++p;
        while (is_name_char(*p)) ++p;
        const auto length = static_cast<size_t>(p - start);
        if (length == 0 || length > kMaxNameLength || is_name_char(*skip_blanks(p))) continue;
        labels_.try_emplace(std::string(start, length), line);
    }
    labels_indexed_ = true;
}

ProgramLine* ProgramStore::find_label(std::string_view name) const {
    if (name.empty()) return nullptr;
    if (!labels_indexed_) index_labels();
    auto it = labels_.find(name);
    return it == labels_.end() ? nullptr : it->second;
}

void ProgramStore::store(int32_t number, const char* text) {
    labels_indexed_ = false;
    ++generation_;
    if (text == nullptr) {
        auto it = lines_.find(number);
        if (it == lines_.end()) return;
        link_before(it, it->second->next);
        lines_.erase(it);
        return;
    }
    auto line = std::make_unique<ProgramLine>();
    line->number = number;
    line->set_text(text);
    auto it = lines_.insert_or_assign(number, std::move(line)).first;
    const auto after = std::next(it);
    it->second->next = after == lines_.end() ? nullptr : after->second.get();
    link_before(it, it->second.get());
}

// Points the line before `it` (or the head) at `line`: one store touches only its
// neighbours, so loading a long program stays linear.
void ProgramStore::link_before(Lines::iterator it, ProgramLine* line) {
    if (it == lines_.begin())
        head_ = line;
    else
        std::prev(it)->second->next = line;
}

void ProgramStore::erase_range(int32_t from, int32_t to) {
    lines_.erase(lines_.lower_bound(from), lines_.upper_bound(to));
    relink();
}

bool ProgramStore::renumber(int64_t start, int64_t step) {
    if (start + step * (static_cast<int64_t>(lines_.size()) - 1) > INT32_MAX) return false;
    Lines renumbered;
    int64_t number = start;
    for (auto& entry : lines_) {
        entry.second->number = static_cast<int32_t>(number);
        renumbered.emplace(static_cast<int32_t>(number), std::move(entry.second));
        number += step;
    }
    lines_ = std::move(renumbered);
    relink();
    return true;
}

void ProgramStore::clear() {
    ++generation_;
    lines_.clear();
    head_ = nullptr;
    labels_indexed_ = false;
    script_line.clear();
}

void ProgramStore::relink() {
    labels_indexed_ = false;
    ++generation_;
    ProgramLine* previous = nullptr;
    head_ = nullptr;
    for (auto& [number, line] : lines_) {
        line->next = nullptr;
        if (previous)
            previous->next = line.get();
        else
            head_ = line.get();
        previous = line.get();
    }
}

std::string line_number_prefix(int64_t number) {
    char prefix[24];
    const int length = std::snprintf(prefix, sizeof prefix, "%5ld ", static_cast<long>(number));
    return std::string(prefix, static_cast<size_t>(length));
}

int32_t parse_line_number(const char*& p) {
    const char* q = skip_blanks(p);
    if (!is_digit(*q)) return 0;
    int64_t value = 0;
    while (is_digit(*q)) {
        value = std::min<int64_t>(value * 10 + (*q - '0'), INT32_MAX);
        ++q;
    }
    if (value < 1) return 0;
    p = q;
    return static_cast<int32_t>(value);
}

int32_t parse_jump_target(const ProgramStore& program, const char*& p) {
    const char* q = skip_blanks(p);
    if (*q != '*') return parse_line_number(p);
    ++q;
    if (is_blank(*q)) {
        vm_error::fail("* 直後にラベル名が必要");
        return 0;
    }
    std::string_view name;
    if (!scan_name(q, name)) {
        vm_error::fail("ラベル名が必要");
        return 0;
    }
    ProgramLine* line = program.find_label(name);
    if (!line) return 0;
    p = q;
    return line->number;
}

namespace {

bool keyword_here(const char* p, std::string_view word) {
    return starts_with_nocase(p, word) && !is_letter(p[word.size()]) && !is_digit(p[word.size()]);
}

}  // namespace

// An else also ends the statement before it, so that "then a = 1 else a = 2" runs
// the then part and skips the else part as the else statement does after ":".
bool at_statement_end(const char* p) {
    p = skip_blanks(p);
    if (*p == '\0' || *p == ':' || *p == '\'') return true;
    return keyword_here(p, "rem") || keyword_here(p, "else");
}
