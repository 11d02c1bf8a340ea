// Name scanning with the reserved-word and length rules.
#include "values/names.h"

#include <algorithm>
#include <array>
#include <string>

#include "values/error.h"
#include "values/text_scan.h"

namespace {

constexpr std::array<std::string_view, 55> kReservedWords = {
    "call",  "chain",   "close", "common", "data",  "def",    "defint", "defsng", "defdbl", "defstr", "dim",
    "else",  "end",     "erase", "erl",    "err",   "error",  "field",  "gosub",  "goto",   "get",    "if",
    "input", "inp",     "lset",  "let",    "line",  "load",   "llist",  "lprint", "merge",  "null",   "on",
    "open",  "option",  "out",   "poke",   "print", "put",    "rset",   "read",   "restore", "run",   "save",
    "spawn", "stop",    "system", "then",  "to",    "usr",    "wait",   "wend",   "while",  "write",  "width"};

}  // namespace

// Every name of a program passes this test, so the words are grouped by first letter
// and length once and each name meets at most a few of them.
struct ReservedIndex {
    static constexpr size_t kLongest = 7;
    std::array<std::array<std::array<std::string_view, 4>, kLongest + 1>, 26> words{};

    ReservedIndex() {
        for (std::string_view word : kReservedWords) {
            auto& slot = words[static_cast<size_t>(word[0] - 'a')][word.size()];
            *std::find(slot.begin(), slot.end(), std::string_view()) = word;
        }
    }
};

std::string_view reserved_word(std::string_view name) {
    static const ReservedIndex index;
    const char first = to_lower(name.empty() ? '\0' : name[0]);
    if (name.size() > ReservedIndex::kLongest || first < 'a' || first > 'z') return {};
    for (std::string_view word : index.words[static_cast<size_t>(first - 'a')][name.size()]) {
        if (word.empty()) break;
        if (equals_nocase(word, name)) return word;
    }
    return {};
}

bool scan_name(const char*& p, std::string_view& name) {
    const char* start = skip_blanks(p);
    if (!is_letter(*start) && *start != '_') return false;
    const char* end = start;
    while (is_name_char(*end)) {
        if (static_cast<size_t>(end - start) == kMaxNameLength) {
            vm_error::fail("識別子長超過");
            return false;
        }
        ++end;
    }
    std::string_view scanned(start, static_cast<size_t>(end - start));
    if (scanned == "i") {
        vm_error::fail("i は予約語です");
        return false;
    }
    if (std::string_view word = reserved_word(scanned); !word.empty()) {
        vm_error::fail(std::string(word) + std::string(messages::localized(" は予約語です")));
        return false;
    }
    name = scanned;
    p = end;
    return true;
}

int type_of_name(std::string_view name) {
    switch (name.empty() ? '\0' : name.back()) {
        case '#': return VT_DOUBLE;
        case '%': return VT_INTEGER;
        case '$': return VT_STRING;
        default: return VT_COMPLEX;
    }
}

bool scan_var_name(const char*& p, std::string_view& name, int& type) {
    const char* q = p;
    std::string_view base;
    if (!scan_name(q, base)) return false;
    if (*q == '#' || *q == '%' || *q == '$') ++q;
    name = std::string_view(base.data(), static_cast<size_t>(q - base.data()));
    type = type_of_name(name);
    p = q;
    return true;
}
