// Keyword recognition by first character, and the statement loop.
#include "interp/dispatch.h"

#include <array>
#include <string_view>
#include <vector>

#include "engine/engine.h"
#include "graphics/graphics_state.h"
#include "interp/program_store.h"
#include "interp/statements.h"
#include "interp/vmbas.h"
#include "io/break_flag.h"
#include "io/console_state.h"
#include "values/error.h"
#include "values/text_scan.h"

namespace {

enum class After {
    CheckEnd,  // the statement end or ":" must follow
    Jumped,    // the statement placed the position itself; start the next statement
};

struct Keyword {
    std::string_view word;
    StatementHandler handler;
    bool direct_only;
    After after;
};

// Control statements that move execution are tried first.
const Keyword kKeywords[] = {
    {"cont", stmt_cont, true, After::Jumped},      {"gosub", stmt_gosub, false, After::Jumped},
    {"goto", stmt_goto, false, After::Jumped},     {"if", stmt_if, false, After::Jumped},
    {"on", stmt_on, false, After::Jumped},         {"run", stmt_run, true, After::Jumped},
    {"wend", stmt_wend, false, After::Jumped},

    {"?", stmt_print, false, After::CheckEnd},     {"auto", stmt_auto, true, After::CheckEnd},
    {"delete", stmt_delete, true, After::CheckEnd}, {"edit", stmt_edit, false, After::CheckEnd},
    {"input", stmt_input, false, After::CheckEnd}, {"line", stmt_line, false, After::CheckEnd},
    {"list", stmt_list, true, After::CheckEnd},    {"llist", stmt_llist, true, After::CheckEnd},
    {"load", stmt_load, true, After::CheckEnd},    {"lprint", stmt_lprint, false, After::CheckEnd},
    {"merge", stmt_merge, true, After::CheckEnd},  {"renum", stmt_renum, true, After::CheckEnd},
    {"save", stmt_save, false, After::CheckEnd},
    {"open", stmt_open, false, After::CheckEnd},   {"close", stmt_close, false, After::CheckEnd},
    {"field", stmt_field, false, After::CheckEnd}, {"get", stmt_get, false, After::CheckEnd},
    {"put", stmt_put, false, After::CheckEnd},     {"lset", stmt_lset, false, After::CheckEnd},
    {"rset", stmt_rset, false, After::CheckEnd},   {"spawn", stmt_spawn, false, After::CheckEnd},
    {"system", stmt_system, false, After::CheckEnd},
    {"graph2d", stmt_graph2d, false, After::CheckEnd}, {"graph3d", stmt_graph3d, false, After::CheckEnd},
    {"files", stmt_files, true, After::CheckEnd},  {"kill", stmt_kill, false, After::CheckEnd},
    {"name", stmt_name, false, After::CheckEnd},   {"chdir", stmt_chdir, false, After::CheckEnd},
    {"pwd", stmt_pwd, false, After::CheckEnd},     {"sleep", stmt_sleep, false, After::CheckEnd},
    {"randomize", stmt_randomize, false, After::CheckEnd},
    {"poke", stmt_poke, false, After::CheckEnd},   {"read", stmt_read, false, After::CheckEnd},
    {"restore", stmt_restore, false, After::CheckEnd},     {"'", stmt_rest_of_line, false, After::CheckEnd},
    {"*", stmt_label, false, After::CheckEnd},     {"clear", stmt_clear, false, After::CheckEnd},
    {"cls", stmt_cls, false, After::CheckEnd},     {"console", stmt_console, false, After::CheckEnd},
    {"data", stmt_rest_of_line, false, After::CheckEnd},
    {"def", stmt_def, false, After::CheckEnd},     {"dim", stmt_dim, false, After::CheckEnd},
    {"else", stmt_rest_of_line, false, After::CheckEnd},
    {"end", stmt_end, false, After::CheckEnd},     {"erase", stmt_erase, false, After::CheckEnd},
    {"for", stmt_for, false, After::CheckEnd},     {"help", stmt_help, true, After::CheckEnd},
    {"let", stmt_let, false, After::CheckEnd},     {"locate", stmt_locate, false, After::CheckEnd},
    {"new", stmt_new, true, After::CheckEnd},      {"next", stmt_next, false, After::CheckEnd},
    {"option", stmt_option, false, After::CheckEnd},
    {"print", stmt_print, false, After::CheckEnd}, {"rem", stmt_rest_of_line, false, After::CheckEnd},
    {"return", stmt_return, false, After::CheckEnd},
    {"stop", stmt_stop, false, After::CheckEnd},   {"swap", stmt_swap, false, After::CheckEnd},
    {"troff", stmt_troff, false, After::CheckEnd}, {"tron", stmt_tron, false, After::CheckEnd},
    {"while", stmt_while, false, After::CheckEnd}, {"width", stmt_width, false, After::CheckEnd},
    {"write", stmt_write, false, After::CheckEnd},
    {"gopen", stmt_gopen, false, After::CheckEnd}, {"gclose", stmt_gclose, false, After::CheckEnd},
    {"gselect", stmt_gselect, false, After::CheckEnd},
    {"gactive", stmt_gactive, false, After::CheckEnd},
    {"gmove", stmt_gmove, false, After::CheckEnd}, {"gbox", stmt_gbox, false, After::CheckEnd},
    {"gline", stmt_gline, false, After::CheckEnd}, {"gcircle", stmt_gcircle, false, After::CheckEnd},
    {"goval", stmt_goval, false, After::CheckEnd}, {"gputs", stmt_gputs, false, After::CheckEnd},
    {"gfont", stmt_gfont, false, After::CheckEnd}, {"gput", stmt_gput, false, After::CheckEnd},
    {"gpaint", stmt_gpaint, false, After::CheckEnd},
    {"gscroll", stmt_gscroll, false, After::CheckEnd},
    {"gclear", stmt_gclear, false, After::CheckEnd}, {"gcopy", stmt_gcopy, false, After::CheckEnd},
    {"gsave", stmt_gsave, false, After::CheckEnd}, {"gload", stmt_gload, false, After::CheckEnd},
    {"gclipcopy", stmt_gclipcopy, false, After::CheckEnd},
    {"gclippaste", stmt_gclippaste, false, After::CheckEnd},
};

// The keywords beginning with each character, so a statement is found by a short scan.
const std::array<std::vector<const Keyword*>, 128>& keywords_by_first_char() {
    static const auto table = [] {
        std::array<std::vector<const Keyword*>, 128> built;
        for (const Keyword& keyword : kKeywords) built[static_cast<size_t>(to_lower(keyword.word[0]))].push_back(&keyword);
        return built;
    }();
    return table;
}

// A keyword that begins with a letter must not be followed by a letter or digit.
bool keyword_matches(const char* p, std::string_view word) {
    if (!starts_with_nocase(p, word)) return false;
    if (!is_letter(word[0])) return true;
    const char next = p[word.size()];
    return !is_letter(next) && !is_digit(next);
}

const Keyword* recognise(const char* p) {
    const auto c = static_cast<unsigned char>(to_lower(*p));
    if (c >= 128) return nullptr;
    for (const Keyword* keyword : keywords_by_first_char()[c])
        if (keyword_matches(p, keyword->word)) return keyword;
    return nullptr;
}

int check_statement_end(const char*& p, bool& more) {
    const char* q = skip_blanks(p);
    more = false;
    if (*q == ':') {
        p = q + 1;
        more = true;
        return 0;
    }
    if (at_statement_end(q)) {
        p = q;
        return 0;
    }
    p = q;
    return vm_error::fail("無効な構文");
}

// The words other interpreters end with, typed alone at the prompt: the answer says
// how this one ends, as Python's does.
bool is_leaving_word(const char* p) {
    for (const std::string_view word : {"quit", "exit", "bye"}) {
        const char* q = p;
        if (match_keyword(q, word) == 0 && at_statement_end(q)) return true;
    }
    return false;
}

void stop_on_break(C_VMBAS& vm, const char* p) {
    break_flag::clear();
    vm.cont = TextPosition::at(vm.current_line, p);
    vm.current_line = nullptr;
    vm.io.put_text(CHANNEL_CONSOLE, "^C\n");
}

}  // namespace

int exec_statements(C_VMBAS& vm, const char*& p) {
    for (;;) {
        if (attention::any()) [[unlikely]] {
            refresh_tick(vm.graphics, vm);
            if (break_flag::is_set()) {
                stop_on_break(vm, p);
                return 0;
            }
            console().writer.flush_if_stale();
        }
        p = skip_blanks(p);
        if (*p == '\0') return 0;
        if (*p == ':') {
            ++p;
            continue;
        }
        const compiled::Outcome outcome = compiled::run_statement(vm, p);
        if (outcome == compiled::Outcome::Jumped) continue;
        if (outcome == compiled::Outcome::Declined) {
            const Keyword* keyword = recognise(p);
            if (!keyword) {
                if (!vm.is_running() && is_leaving_word(p)) return vm_error::fail("終了は system または Ctrl-D");
                if (stmt_assignment(vm, p) < 0) return vm_error::fail("無効な構文,");
            } else {
                p += keyword->word.size();
                if (keyword->direct_only && vm.is_running()) return vm_error::fail("実行中は無効");
                if (keyword->handler(vm, p) < 0) return -1;
                if (keyword->after == After::Jumped) continue;
            }
        }
        if (vm.current_line == nullptr) return 0;
        bool more;
        if (check_statement_end(p, more) < 0) return -1;
        // A Ctrl-C during the line's last statement (a sleep, a key wait) stops here,
        // not as a stale flag at the next prompt.
        if (!more && !break_flag::is_set()) return 0;
    }
}

std::string_view statement_keyword_at(const char* p) {
    const Keyword* keyword = recognise(p);
    return keyword ? keyword->word : std::string_view();
}

std::vector<std::string_view> statement_keywords() {
    std::vector<std::string_view> words;
    for (const Keyword& keyword : kKeywords)
        if (is_letter(keyword.word[0])) words.push_back(keyword.word);
    return words;
}
