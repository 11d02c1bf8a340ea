// The interpreter object: the program, the execution state with its stacks, the
// channels and windows, the console, and (as its evaluation context) the variables and
// functions. Several may live side by side; the code that runs one finds its console
// through an InterpreterEntry.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "engine/engine_choice.h"
#include "graphics/graph_settings.h"
#include "graphics/graph_workspace.h"
#include "graphics/graphics_state.h"
#include "interp/program_store.h"
#include "io/channel_table.h"
#include "io/attention.h"
#include "io/console_state.h"
#include "values/error.h"
#include "values/eval_context.h"
#include "values/language_rules.h"

inline constexpr int kStackDepth = 20;

struct GosubEntry {
    TextPosition resume;  // just after the gosub
    // What follows `resume`, as the compiled engine found it for its gosub, or -1: see
    // ForEntry::follow.
    int32_t follow = -1;
};

// Sized to a power of two: the innermost entry is found at every next.
struct alignas(128) ForEntry {
    TextPosition after;  // just after the for statement, where each pass begins
    std::string variable;
    int type = VT_COMPLEX;
    double limit = 0.0;
    double step = 0.0;
    double increment = 0.0;  // what each pass adds: the step, made whole for an integer variable
    // The variable's record while the store's generation stays `generation`: a next
    // that names the same record names the same variable, without comparing names, and
    // a next without a name needs no lookup.
    PCVAR* record = nullptr;
    uint64_t generation = 0;
    // Where the loop's body begins after `after`, as the compiled engine found it, or
    // -1. It stays true while the loop does: every edit of the program empties the stack.
    int32_t follow = -1;
    // The compiled next that has gone round this loop by the quick way, its checks made
    // once (they hold while `generation` does).
    const void* went_round = nullptr;
    // The way on (a statement's step, and the line it leads to, which begins with a
    // next) that has gone round this loop by the quick way: taken again, it needs no
    // look at that line, whose text stays while the loop does.
    const void* came_round = nullptr;
    const ProgramLine* came_line = nullptr;
};

struct WhileEntry {
    TextPosition keyword;  // the while, whose condition wend tests again
};

class C_VMBAS : public EvalContext {
public:
    C_VMBAS();
    ~C_VMBAS();
    C_VMBAS(const C_VMBAS&) = delete;
    C_VMBAS& operator=(const C_VMBAS&) = delete;

    bool is_running() const { return current_line != nullptr && current_line != &direct_line; }

    // Stops the program and forgets cont, the stacks, the error handler, err and erl.
    void end_execution();
    // Removes variables and functions, closes channels, resets option base and data.
    void clear_state();
    // Stores (or with null text deletes) a program line, then resets as a change must.
    int store_line(int32_t number, const char* text);
    void new_program();
    void delete_lines(int32_t from, int32_t to);

    // Puts a typed command into the direct-mode line to run next.
    void set_direct_command(std::string_view text);

    // Makes the position's line current, as jump_to_line does, and returns its place.
    const char* jump_to(const TextPosition& position) {
        jump_to_line(position.line);
        return position.line ? position.text() : "";
    }

    // Makes `line` current (trace mark included) and returns its text after indentation.
    // Always inline: every jump and line change of a compiled loop goes through it.
    [[gnu::always_inline]] const char* jump_to_line(ProgramLine* line) {
        if (!line) return "";
        current_line = line;
        vm_error::clear();
        if (rules::shows_trace_mark(trace, *line)) print_trace_mark(*line);
        return line->body();
    }

    // First, so that they are the last to go: closing the channels may still use them.
    vm_error::Buffer errors;
    ConsoleState console;

    ProgramStore program;
    ProgramLine direct_line;
    ProgramLine* current_line = nullptr;
    TextPosition cont;  // where cont goes on; no line when it cannot
    TextPosition data;  // the next item to read; offset 0: the line is still to be looked at

    std::array<GosubEntry, kStackDepth> gosub_stack;
    int gosub_depth = 0;
    std::array<ForEntry, kStackDepth> for_stack;
    int for_depth = 0;
    std::array<WhileEntry, kStackDepth> while_stack;
    int while_depth = 0;

    std::string pretyped_input;
    C_FILEIO io;
    GraphicsState graphics;

    Engine engine = default_engine();  // which engine runs program lines
    bool trace = false;  // set through set_trace
    // While trace is on, every statement takes the dispatchers' longer look: the
    // compiled engine's quick ways, which show no marks, are then never taken.
    void set_trace(bool on) {
        trace = on;
        if (on) {
            tracing_.start();
        } else {
            tracing_.stop();
        }
    }
    int32_t error_handler_line = 0;

    // The graphs' ranges and angles, and what graph3d keeps from one graph to the next.
    GraphSettings graph_settings;
    GraphWorkspace graph_workspace;

private:
    void print_trace_mark(const ProgramLine& line);

    attention::Waiting tracing_;
};

// The functions that the interpreter registers into its own context are handed that
// context back by the evaluator: it is always the interpreter.
inline C_VMBAS& interpreter_of(EvalContext& context) { return static_cast<C_VMBAS&>(context); }
