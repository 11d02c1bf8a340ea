// Differential fuzz harness for the two engines: each input becomes a short session
// (numbered program lines, typed commands, then "run"), run once on the text
// interpreter and once on the compiled engine, each in a fresh interpreter object with
// the same piped input. Everything the sessions write to the console must be the same
// byte for byte; a difference aborts, a finding.
// An input is read as typed lines, or, when it starts with a zero byte, as picks from
// the program lines of the language tests (a file named by FUZZ_ENGINE_LINES).
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine_choice.h"
#include "fuzz_sandbox.h"
#include "interp/vmbas.h"
#include "io/break_flag.h"
#include "prompt/main_loop.h"

namespace {

constexpr size_t kMaxLines = 64;

// Lines that start with this go into the program file that `load` and `merge` read.
constexpr char kFileLine = '>';
constexpr std::string_view kFileName = "m.bas";
constexpr std::array<std::string_view, 2> kFileCommands = {"load \"m.bas\"", "merge \"m.bas\""};

// Lines naming these are left out: they reach files, processes or devices outside the
// scratch directory, or read what differs from one run to the next (the clock, free
// memory, the addresses of fresh variables).
constexpr std::array<std::string_view, 18> kUnrepeatable = {
    "system", "spawn", "kill",   "name",  "chdir", "pwd",   "sleep", "open",  "save",
    "files",  "lprint", "llist", "gload", "gclip", "date$", "time$", "fre",   "varptr"};

std::string lower_case(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    });
    return lower;
}

bool contains(std::string_view text, std::string_view word) { return text.find(word) != std::string_view::npos; }

// `load` and `merge` may name the session's own file, and nothing else.
bool repeatable(std::string_view line) {
    std::string lower = lower_case(line);
    if (std::ranges::any_of(kUnrepeatable, [&](std::string_view word) { return contains(lower, word); })) return false;
    for (const std::string_view command : kFileCommands)
        for (size_t at; (at = lower.find(command)) != std::string::npos;) lower.erase(at, command.size());
    return !contains(lower, "load") && !contains(lower, "merge");
}

struct Session {
    std::string typed;      // what standard input holds
    std::string file_text;  // the program file in the scratch directory
};

const std::vector<std::string>& known_lines() {
    static const std::vector<std::string> lines = [] {
        std::vector<std::string> kept;
        const char* path = std::getenv("FUZZ_ENGINE_LINES");
        std::ifstream file(path ? path : "");
        for (std::string line; std::getline(file, line);)
            if (repeatable(line)) kept.push_back(line);
        return kept;
    }();
    return lines;
}

constexpr int kMaxPickedLines = 24;
// Typed after "run": what a user does next with a stopped or failed program.
constexpr std::array<std::string_view, 6> kFollowUps = {"",          "cont\n",    "renum\nrun\n",
                                                        "clear\ncont\n", "goto 20\n", "print err;erl\n"};

// Two bytes pick each line, numbered 10, 20, ...; an odd byte left picks a follow-up.
Session session_picked(std::string_view bytes) {
    const std::vector<std::string>& lines = known_lines();
    Session session;
    for (int number = 10; bytes.size() >= 2 && !lines.empty() && number <= kMaxPickedLines * 10; number += 10) {
        const size_t pick = (static_cast<uint8_t>(bytes[0]) << 8 | static_cast<uint8_t>(bytes[1])) % lines.size();
        session.typed += std::to_string(number) + " " + lines[pick] + "\n";
        bytes.remove_prefix(2);
    }
    session.typed += "run\n";
    if (!bytes.empty()) session.typed += kFollowUps[static_cast<uint8_t>(bytes[0]) % kFollowUps.size()];
    return session;
}

Session session_from(std::string_view input) {
    if (!input.empty() && input.front() == '\0') return session_picked(input.substr(1));
    Session session;
    size_t lines = 0;
    while (!input.empty() && lines < kMaxLines) {
        const size_t end = std::min(input.find('\n'), input.size());
        const std::string_view line = input.substr(0, end);
        input.remove_prefix(std::min(end + 1, input.size()));
        if (!repeatable(line)) continue;
        if (!line.empty() && line.front() == kFileLine)
            session.file_text.append(line.substr(1)).push_back('\n');
        else
            session.typed.append(line).push_back('\n');
        ++lines;
    }
    session.typed += "run\n";
    return session;
}

void write_file(std::string_view text) {
    FILE* file = std::fopen(std::string(kFileName).c_str(), "w");
    if (!file) std::abort();
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

struct Outcome {
    std::string output;
    bool interrupted = false;  // the break timer stopped it somewhere: not comparable
};

// One session in a fresh interpreter, its console output taken from its own writer.
Outcome run_session(Engine engine, const Session& session) {
    write_file(session.file_text);
    fuzz_sandbox::feed_stdin(session.typed);
    break_flag::clear();  // the process's one flag, which a timer may have left set
    Outcome outcome;
    {
        fuzz_sandbox::BreakTimer timer;
        {
            C_VMBAS vm;
            vm.engine = engine;
            vm.console.writer.set_sink([&outcome](std::string_view bytes) { outcome.output.append(bytes); });
            main_loop(vm, nullptr);
        }
        outcome.interrupted = timer.fired();
    }
    return outcome;
}

void show(const char* title, std::string_view text) {
    std::fprintf(stderr, "--- %s\n", title);
    std::fwrite(text.data(), 1, text.size(), stderr);
}

[[noreturn]] void report_difference(std::string_view what, const Session& session, const Outcome& first,
                                    const Outcome& second) {
    const auto where = std::ranges::mismatch(first.output, second.output).in1 - first.output.begin();
    std::fprintf(stderr, "fuzz_engines: %.*s, from output byte %td on\n", static_cast<int>(what.size()), what.data(),
                 where);
    show("session", session.typed);
    show("file m.bas", session.file_text);
    show("first run", first.output);
    show("second run", second.output);
    std::fprintf(stderr, "--- end\n");
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = (fuzz_sandbox::enter(), true);
    (void)ready;
    const Session session = session_from({reinterpret_cast<const char*>(data), size});
    const Outcome text = run_session(Engine::Text, session);
    const Outcome compiled = run_session(Engine::Compiled, session);
    if (text.interrupted || compiled.interrupted || text.output == compiled.output) return 0;
    // A session that differs from itself points at state this harness fails to reset.
    const Outcome again = run_session(Engine::Text, session);
    if (!again.interrupted && again.output != text.output)
        report_difference("the text engine does not repeat itself", session, text, again);
    report_difference("the engines differ (first run text, second compiled)", session, text, compiled);
}
