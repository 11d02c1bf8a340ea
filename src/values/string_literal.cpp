// String literal scanning.
#include "values/string_literal.h"

#include <cstddef>

#include "values/error.h"
#include "values/text_scan.h"

int scan_string_literal(const char*& p, C_STR& out) {
    const char* q = skip_blanks(p);
    if (*q != '"') return -1;
    const char* start = ++q;
    while (*q != '"') {
        if (*q == '\0') return -1;
        if (q - start == static_cast<ptrdiff_t>(C_STR::kMaxLength)) return vm_error::fail("文字列長超過");
        ++q;
    }
    out.assign(std::string_view(start, static_cast<size_t>(q - start)));
    p = q + 1;
    return 0;
}
