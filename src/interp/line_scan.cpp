// Word-wise scanning of a line for block keywords.
#include "interp/line_scan.h"

#include <cstring>
#include <string_view>

#include "interp/program_store.h"
#include "values/text_scan.h"

namespace {

// The dispatcher's keyword rule: no letter or digit may follow a keyword.
bool keyword_at(const char* p, std::string_view word) {
    return starts_with_nocase(p, word) && !is_letter(p[word.size()]) && !is_digit(p[word.size()]);
}

}  // namespace

ScanStop scan_for_keywords(const char*& p, std::string_view opener, std::string_view closer) {
    while (*p != '\0') {
        if (*p == '"') {
            const char* close = std::strchr(p + 1, '"');
            if (!close) break;
            p = close + 1;
        } else if (*p == '\'' || keyword_at(p, "rem")) {
            break;
        } else if (keyword_at(p, opener)) {
            p += opener.size();
            return ScanStop::Opener;
        } else if (keyword_at(p, closer)) {
            p += closer.size();
            return ScanStop::Closer;
        } else if (is_letter(*p) || *p == '_') {
            // A whole name, so that x_else or _wend is never taken for a keyword.
            while (is_name_char(*p)) ++p;
        } else {
            ++p;
        }
    }
    p += std::strlen(p);
    return ScanStop::EndOfLine;
}

bool find_matching_wend(ProgramLine* from, const char*& p, ProgramLine*& line) {
    int nesting = 0;
    ProgramLine* scanning = from;
    const char* q = p;
    for (;;) {
        switch (scan_for_keywords(q, "while", "wend")) {
            case ScanStop::Opener: ++nesting; break;
            case ScanStop::Closer:
                if (nesting-- == 0) {
                    line = scanning;
                    p = q;
                    return true;
                }
                break;
            case ScanStop::EndOfLine:
                scanning = scanning ? scanning->next : nullptr;
                if (!scanning) return false;
                q = scanning->text.c_str();
                break;
        }
    }
}
