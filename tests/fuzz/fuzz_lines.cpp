// Fuzz harness for whole sessions: each input is a handful of typed lines, numbered
// ones stored as program lines and the rest run as commands, followed by "run", all
// through the interactive main loop of one interpreter object. Two small graphics
// windows are open from the start, so that the drawing statements draw.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_sandbox.h"
#include "interp/vmbas.h"
#include "prompt/main_loop.h"

namespace {

constexpr size_t kMaxLines = 64;

// Lines naming these reach files, processes, the clock or the keyboard, outside
// what a fuzzer should touch; they are left out of the session.
// "open" keeps gopen out too (a window can take 600 MB): the session opens its own.
constexpr std::array<std::string_view, 16> kOutsideWorld = {
    "system", "spawn", "kill", "name", "chdir", "sleep", "open", "save",
    "load",   "merge", "files", "input", "inkey", "edit", "auto", "com"};

bool touches_outside_world(std::string_view line) {
    std::string lower(line);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    });
    return std::ranges::any_of(kOutsideWorld, [&](std::string_view word) { return lower.find(word) != std::string::npos; });
}

std::string session_from(std::string_view input) {
    std::string session = "gopen 2,40,30 : gopen 1,64,48\n";
    size_t lines = 0;
    while (!input.empty() && lines < kMaxLines) {
        const size_t end = std::min(input.find('\n'), input.size());
        const std::string_view line = input.substr(0, end);
        input.remove_prefix(std::min(end + 1, input.size()));
        if (touches_outside_world(line)) continue;
        session.append(line).push_back('\n');
        ++lines;
    }
    return session + "run\n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = (fuzz_sandbox::enter(), true);
    (void)ready;
    fuzz_sandbox::feed_stdin(session_from({reinterpret_cast<const char*>(data), size}));
    {
        fuzz_sandbox::BreakTimer timer;
        C_VMBAS vm;
        main_loop(vm, nullptr);
    }
    return 0;
}
