// Reading option lists and comma-separated integer arguments.
#include "graphics/draw_options.h"

#include <string_view>

#include "values/error.h"
#include "values/evaluator.h"
#include "values/text_scan.h"
#include "zov/draw.h"

namespace {

struct DrawOption {
    std::string_view word;
    uint32_t bits;
};

constexpr DrawOption kOptions[] = {
    {"bold", zov::option::bold},
    {"dash", zov::option::dash},
    {"fill", zov::option::fill},
    {"xor", zov::option::exclusive_or},
};

const DrawOption* option_starting_with(char c) {
    for (const DrawOption& option : kOptions)
        if (option.word[0] == to_lower(c)) return &option;
    return nullptr;
}

}  // namespace

int parse_draw_options(const char*& p, uint32_t& word) {
    word = 0;
    for (;;) {
        const char* q = skip_blanks(p);
        if (*q != ',') return 0;
        const char* after_comma = q + 1;
        q = skip_blanks(after_comma);
        const DrawOption* option = option_starting_with(*q);
        if (!option) return vm_error::fail("オプションが不正");
        if (!starts_with_nocase(q, option->word) || is_name_char(q[option->word.size()])) {
            p = after_comma;
            return 0;
        }
        word |= option->bits;
        p = q + option->word.size();
    }
}

int parse_int_list(EvalContext& vm, const char*& p, std::initializer_list<int32_t*> values) {
    bool first = true;
    for (int32_t* value : values) {
        if (!first && match_keyword(p, ",") < 0) return -1;
        if (eval_int32(vm, p, value) < 0) return -1;
        first = false;
    }
    return 0;
}
