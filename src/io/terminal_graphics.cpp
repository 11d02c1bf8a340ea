// Choosing the inline picture protocol, and the terminal's cells.
#include "io/terminal_graphics.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <utility>

#include "io/console_input.h"
#include "io/console_writer.h"

namespace {

// A remote terminal answers within a round trip; one that has not answered by then
// is taken as silent.
constexpr auto kAnswerWait = std::chrono::milliseconds(300);

// The kitty graphics query (a 1 x 1 picture, only checked), the cell size report and
// the primary device attributes.
constexpr std::string_view kQuery = "\x1b_Gi=31,s=1,v=1,a=q,t=d,f=24;AAAA\x1b\\\x1b[16t\x1b[c";

std::string_view variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// tmux passes sixel pictures on from 3.4; its version reads like "3.3a" or "next-3.4".
bool tmux_shows_sixel(std::string_view version) {
    const size_t digits = version.find_first_of("0123456789");
    if (digits == std::string_view::npos) return false;
    int major = 0, minor = 0;
    size_t i = digits;
    for (; i < version.size() && version[i] >= '0' && version[i] <= '9'; ++i) major = major * 10 + (version[i] - '0');
    if (i < version.size() && version[i] == '.')
        for (++i; i < version.size() && version[i] >= '0' && version[i] <= '9'; ++i) minor = minor * 10 + (version[i] - '0');
    return std::pair(major, minor) >= std::pair(3, 4);
}

// A control sequence ESC [ params final, as a terminal answers; null length when
// `text` does not begin with a whole one.
struct ControlSequence {
    std::string_view params;
    char final = 0;
    size_t length = 0;
};

ControlSequence control_sequence(std::string_view text) {
    if (!text.starts_with("\x1b[")) return {};
    const size_t end = text.find_first_not_of("0123456789;?", 2);
    if (end == std::string_view::npos || text[end] < 0x40 || text[end] > 0x7E) return {};
    return {text.substr(2, end - 2), text[end], end + 1};
}

// The numbers of a parameter list such as "?62;4;6", the leading "?" dropped.
template <typename Each>
void for_each_parameter(std::string_view params, Each each) {
    if (params.starts_with('?')) params.remove_prefix(1);
    while (!params.empty()) {
        const size_t semicolon = params.find(';');
        int value = 0;
        for (const char c : params.substr(0, semicolon))
            if (c >= '0' && c <= '9') value = value * 10 + (c - '0');
        each(value);
        if (semicolon == std::string_view::npos) break;
        params.remove_prefix(semicolon + 1);
    }
}

void read_answer(TerminalAnswers& answers, const ControlSequence& sequence) {
    if (sequence.final == 'c' && sequence.params.starts_with('?')) {
        answers.answered = true;
        for_each_parameter(sequence.params, [&](int value) { answers.sixel = answers.sixel || value == 4; });
    } else if (sequence.final == 't') {
        int index = 0, height = 0, width = 0;
        for_each_parameter(sequence.params, [&](int value) {
            if (index == 1) height = value;
            if (index == 2) width = value;
            ++index;
        });
        if (sequence.params.starts_with("6;") && index == 3) {
            answers.cell_height = height;
            answers.cell_width = width;
        }
    }
}

// The terminal's reply, read from `input` until the device attributes come or the
// wait is over.
std::string read_reply(int input) {
    std::string received;
    std::string typed;
    const auto deadline = std::chrono::steady_clock::now() + kAnswerWait;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd request{input, POLLIN, 0};
        if (poll(&request, 1, int(left.count())) <= 0) continue;
        char bytes[256];
        const ssize_t n = ::read(input, bytes, sizeof bytes);
        if (n <= 0) break;
        received.append(bytes, size_t(n));
        typed.clear();
        if (parse_answers(received, typed).answered) break;
    }
    return received;
}

bool write_all(int output, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(output, bytes.data(), bytes.size());
        if (n <= 0) return false;
        bytes.remove_prefix(size_t(n));
    }
    return true;
}

// Asks the terminal through standard input when that is the terminal, else through
// the process's controlling terminal; with the keys seen meanwhile kept for reading.
TerminalAnswers ask_terminal() {
    const bool typed_here = isatty(STDIN_FILENO);
    const int input = typed_here ? STDIN_FILENO : open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    TerminalAnswers answers;
    termios mode{};
    if (input >= 0 && tcgetattr(input, &mode) == 0) {
        termios raw = mode;
        raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
        raw.c_cc[VMIN] = 0;
        raw.c_cc[VTIME] = 0;
        console_writer::flush();
        if (tcsetattr(input, TCSANOW, &raw) == 0) {
            std::string typed;
            if (write_all(STDOUT_FILENO, kQuery)) answers = parse_answers(read_reply(input), typed);
            tcsetattr(input, TCSANOW, &mode);
            if (typed_here) keep_typed_ahead(typed);
        }
    }
    if (input >= 0 && !typed_here) close(input);
    return answers;
}

TerminalAnswers& asked() {
    static TerminalAnswers answers;
    return answers;
}

InlineProtocol decide_protocol() {
    if (!isatty(STDOUT_FILENO)) return InlineProtocol::None;
    const InlineEnvironment environment{variable("VELMORA_INLINE"), variable("TERM"), variable("TERM_PROGRAM"),
                                        variable("TERM_PROGRAM_VERSION"), variable("LC_TERMINAL"),
                                        !variable("TMUX").empty()};
    if (const auto decided = protocol_from_environment(environment)) return *decided;
    asked() = ask_terminal();
    return protocol_from_answers(asked());
}

}  // namespace

std::optional<InlineProtocol> protocol_from_environment(const InlineEnvironment& environment) {
    static constexpr std::pair<std::string_view, InlineProtocol> kRequests[] = {
        {"off", InlineProtocol::None},     {"kitty", InlineProtocol::Kitty},   {"iterm", InlineProtocol::Iterm},
        {"sixel", InlineProtocol::Sixel},  {"blocks", InlineProtocol::Blocks},
    };
    for (const auto& [name, protocol] : kRequests)
        if (environment.requested == name) return protocol;
    // Neither is asked anything: a dumb terminal (an editor's shell buffer) would show
    // the question, and the Linux console has block characters at most.
    if (environment.term == "dumb") return InlineProtocol::Silent;
    if (environment.term == "linux") return InlineProtocol::Blocks;
    // Inside tmux only what tmux itself draws reaches the terminal.
    if (environment.in_tmux) {
        if (environment.term_program == "tmux" && tmux_shows_sixel(environment.term_program_version)) return std::nullopt;
        return InlineProtocol::Blocks;
    }
    const std::string_view program = environment.term_program;
    if (program == "iTerm.app" || program == "WezTerm" || program == "vscode" || environment.lc_terminal == "iTerm2")
        return InlineProtocol::Iterm;
    return std::nullopt;
}

TerminalAnswers parse_answers(std::string_view received, std::string& typed) {
    TerminalAnswers answers;
    while (!received.empty()) {
        if (received.starts_with("\x1b_G")) {
            if (const size_t end = received.find("\x1b\\"); end != std::string_view::npos) {
                answers.kitty_graphics = answers.kitty_graphics || received.substr(0, end).find(";OK") != std::string_view::npos;
                received.remove_prefix(end + 2);
                continue;
            }
        }
        const ControlSequence sequence = control_sequence(received);
        if (sequence.length != 0 && (sequence.final == 'c' || sequence.final == 't')) {
            read_answer(answers, sequence);
            received.remove_prefix(sequence.length);
            continue;
        }
        typed += received.front();
        received.remove_prefix(1);
    }
    return answers;
}

InlineProtocol protocol_from_answers(const TerminalAnswers& answers) {
    if (!answers.answered) return InlineProtocol::Silent;
    if (answers.kitty_graphics) return InlineProtocol::Kitty;
    return answers.sixel ? InlineProtocol::Sixel : InlineProtocol::Blocks;
}

InlineProtocol inline_protocol() {
    static const InlineProtocol protocol = decide_protocol();
    return protocol;
}

TerminalCells terminal_cells() {
    TerminalCells cells;
    winsize window{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &window) == 0 && window.ws_col > 0) {
        cells.columns = window.ws_col;
        if (window.ws_xpixel > 0 && window.ws_row > 0) {
            cells.cell_width = window.ws_xpixel / window.ws_col;
            cells.cell_height = window.ws_ypixel / window.ws_row;
            return cells;
        }
    }
    cells.cell_width = asked().cell_width;
    cells.cell_height = asked().cell_height;
    return cells;
}
