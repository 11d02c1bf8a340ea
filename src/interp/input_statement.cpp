// input and line input: items split off a typed line or read from a channel, stored
// into the statement's variables.
#include <string>

#include "interp/channel_prefix.h"
#include "interp/input_items.h"
#include "interp/statements.h"
#include "interp/vmbas.h"
#include "prompt/console_line.h"
#include "values/error.h"
#include "values/text_scan.h"
#include "values/variable_access.h"

namespace {

constexpr size_t kConsoleLineSize = 256;

// A quoted prompt; false (position unchanged) when there is none or it is too long.
bool prompt_literal(const char*& p, std::string& prompt) {
    const char* q = skip_blanks(p);
    if (*q != '"') return false;
    const char* start = ++q;
    while (*q != '"') {
        if (*q == '\0') return false;
        ++q;
    }
    if (q - start > static_cast<ptrdiff_t>(C_STR::kMaxLength)) {
        vm_error::fail("文字列長超過");
        return false;
    }
    prompt.assign(start, static_cast<size_t>(q - start));
    p = q + 1;
    return true;
}

int read_typed_line(C_VMBAS& vm, std::string& line) {
    line.clear();
    return read_console_line(vm, line, kConsoleLineSize, LineUse::Answer) == LineRead::Ok ? 0 : vm_error::fail("^C");
}

enum class Items { Assigned, RanOut };

// Assigns the items of one typed line to the statement's variables in order.
int assign_typed_items(C_VMBAS& vm, const std::string& line, const char*& p, Items& outcome) {
    const char* position = line.c_str();
    std::string item;
    for (;;) {
        if (input_item_from_line(position, item) < 0 || assign_from_text(vm, p, item) < 0) return -1;
        const char* after = skip_blanks(p);
        if (*after != ',') {
            outcome = Items::Assigned;
            return 0;
        }
        p = after + 1;
        position = skip_blanks(position);
        if (*position != ',') {
            outcome = Items::RanOut;
            return 0;
        }
        ++position;
    }
}

// A line that runs out of items is answered again from the first variable.
int input_from_console(C_VMBAS& vm, const char*& p, const std::string& prompt) {
    std::string line;
    for (;;) {
        vm.io.put_bytes(CHANNEL_CONSOLE, prompt);
        if (read_typed_line(vm, line) < 0) return -1;
        const char* q = p;
        Items outcome;
        if (assign_typed_items(vm, line, q, outcome) < 0) return -1;
        if (outcome == Items::Assigned) {
            p = q;
            return 0;
        }
    }
}

int input_from_channel(C_VMBAS& vm, const char*& p, int channel) {
    std::string item;
    for (;;) {
        if (input_item_from_channel(vm, channel, item) < 0) return -1;
        if (assign_from_text(vm, p, item) < 0) return -1;
        const char* after = skip_blanks(p);
        if (*after != ',') return 0;
        p = after + 1;
    }
}

int read_channel_line(C_VMBAS& vm, int channel, std::string& line) {
    line.clear();
    int c = vm.io.get_char(channel);
    if (c < 0) return vm_error::fail("ファイルの終わり");
    while (c >= 0 && c != '\n') {
        line.push_back(static_cast<char>(c));
        if (line.size() == C_STR::kMaxLength) {
            // A line of exactly the longest length must not leave its end for the next read.
            vm.io.take_if_next(channel, '\n');
            break;
        }
        c = vm.io.get_char(channel);
    }
    return 0;
}

}  // namespace

int stmt_input(C_VMBAS& vm, const char*& p) {
    const int channel = parse_channel_prefix(vm, p);
    if (channel != CHANNEL_CONSOLE) return input_from_channel(vm, p, channel);
    std::string prompt = "? ";
    if (prompt_literal(p, prompt)) {
        p = skip_blanks(p);
        if (*p != ',' && *p != ';') return vm_error::fail(", か ; が必要");
        if (*p == ',') prompt += "? ";
        ++p;
    } else if (vm_error::has_message()) {
        return -1;
    }
    return input_from_console(vm, p, prompt);
}

int stmt_line(C_VMBAS& vm, const char*& p) {
    if (match_keyword(p, "input") < 0) return vm_error::fail("input が必要");
    const int channel = parse_channel_prefix(vm, p);
    std::string line;
    if (channel == CHANNEL_CONSOLE) {
        p = skip_blanks(p);
        if (*p == ';') ++p;
        std::string prompt;
        if (prompt_literal(p, prompt)) {
            p = skip_blanks(p);
            if (*p != ';') return vm_error::fail("; が必要");
            ++p;
        } else if (vm_error::has_message()) {
            return -1;
        }
        vm.io.put_bytes(CHANNEL_CONSOLE, prompt);
        if (read_typed_line(vm, line) < 0) return -1;
    } else if (read_channel_line(vm, channel, line) < 0) {
        return -1;
    }
    C_STR* target = get_string_var(vm, p);
    if (!target) return vm_error::fail("文字列変数が必要");
    target->assign(line);
    return 0;
}
