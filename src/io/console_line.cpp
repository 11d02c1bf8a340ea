// Line input from standard input.
#include "io/console_line.h"

#include "interp/break_flag.h"
#include "interp/vmbas.h"
#include "io/console_input.h"

namespace {
constexpr size_t kWorkingSize = 4200;
}

LineRead read_console_line(C_VMBAS& vm, std::string& buffer, size_t size) {
    if (size < 2) return LineRead::EndOfInput;
    vm.io.record(CHANNEL_CONSOLE).column = 0;
    std::string typed;
    if (!read_input_line(typed)) {
        return break_flag::is_set() ? LineRead::Interrupted : LineRead::EndOfInput;
    }
    std::string line = buffer + typed;
    if (line.size() > kWorkingSize - 1) line.resize(kWorkingSize - 1);
    const size_t keep = std::min(size, kWorkingSize) - 1;
    if (line.size() > keep) line.resize(keep);
    buffer = std::move(line);
    return LineRead::Ok;
}
