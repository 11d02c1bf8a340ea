// What the terminal can show of a picture. The protocol is chosen by VELMORA_INLINE,
// else by what the environment says of the terminal (tmux, iTerm2 and the terminals
// that took up its protocol), else by asking the terminal: the kitty graphics query,
// the cell size report and the primary device attributes, which every terminal
// answers last. Also the terminal's width and the size of its cells in pixels.
#pragma once
#include <optional>
#include <string>
#include <string_view>

enum class InlineProtocol {
    None,    // nothing is shown: no terminal, or VELMORA_INLINE=off
    Silent,  // a terminal that answered nothing: nothing is shown, the user is told
    Kitty,   // kitty's graphics protocol, a PNG file
    Iterm,   // iTerm2's inline files, a PNG file
    Sixel,
    Blocks,  // Unicode block characters in 24-bit colour
};

struct InlineEnvironment {
    std::string_view requested;  // VELMORA_INLINE
    std::string_view term;
    std::string_view term_program;
    std::string_view term_program_version;
    std::string_view lc_terminal;
    bool in_tmux = false;
};

// The protocol the environment decides, or none when the terminal must be asked.
std::optional<InlineProtocol> protocol_from_environment(const InlineEnvironment& environment);

struct TerminalAnswers {
    bool answered = false;  // the device attributes came back
    bool kitty_graphics = false;
    bool sixel = false;
    int cell_width = 0;  // pixels; 0 when not reported
    int cell_height = 0;
};

// The answers in what the terminal sent; every other byte is a key typed meanwhile
// and goes to `typed`.
TerminalAnswers parse_answers(std::string_view received, std::string& typed);
InlineProtocol protocol_from_answers(const TerminalAnswers& answers);

// The protocol for standard output, decided by the first call (which may ask the
// terminal, waiting a moment at most).
InlineProtocol inline_protocol();

struct TerminalCells {
    int columns = 80;
    int cell_width = 0;  // pixels; 0 when the terminal does not say
    int cell_height = 0;
};

// The terminal's width now, and its cells as it reports them.
TerminalCells terminal_cells();
