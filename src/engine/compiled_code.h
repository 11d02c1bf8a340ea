// The compiled form of a program line: each statement, the first time it runs,
// translated into code in the line's one array of instructions and a record of where
// it leads, with its names, numbers and jump targets already resolved. The text stays
// the truth: a compiled statement that meets anything it cannot reproduce exactly
// gives the statement back, unchanged, to the text interpreter.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "values/complex.h"

struct PCVAR;
struct ProgramLine;
struct BuiltinFunction;
struct UserFunction;

namespace compiled {

// An expression of a statement flattened into steps over a stack of values and one of
// texts, in the order the text interpreter evaluates it, each check where it makes it.
enum class Step : uint8_t {
#define STEP(name, operands, pops, pushes, text_pops, text_pushes, meaning) name,
#include "engine/steps.def"
#undef STEP
};

// How many values a step adds to the stack of values (negative: takes away), and how
// many texts to the stack of texts.
struct StackEffect {
    int values;
    int texts;
};

// The effect of step `step`, given its instruction's `count` and `texts`.
constexpr StackEffect stack_effect(Step step, [[maybe_unused]] int count, [[maybe_unused]] int texts) {
    switch (step) {
#define STEP(name, operands, pops, pushes, text_pops, text_pushes, meaning) \
    case Step::name: return {(pushes) - (pops), (text_pushes) - (text_pops)};
#include "engine/steps.def"
#undef STEP
    }
    return {0, 0};
}

// The fields of an instruction that its step reads, besides the step itself.
enum class Operands : uint8_t { None, Value, Slot, SlotValue, SlotCount, String, Index, IndexCounts, ValueCount, Count };

constexpr Operands operands_of(Step step) {
    switch (step) {
#define STEP(name, operands, pops, pushes, text_pops, text_pushes, meaning) \
    case Step::name: return Operands::operands;
#include "engine/steps.def"
#undef STEP
    }
    return Operands::None;
}

// Whether the step reads a variable slot (and may make its variable).
constexpr bool names_slot(Step step) {
    const Operands operands = operands_of(step);
    return operands == Operands::Slot || operands == Operands::SlotValue || operands == Operands::SlotCount;
}

// Whether the step ends a statement's code: its way on.
constexpr bool ends_statement(Step step) {
    return step == Step::Follow || step == Step::Next || step == Step::If || step == Step::While ||
           step == Step::Statement;
}

struct Instruction {
    Step step = Step::End;
    // Element, ElementAt: subscripts; calls, built-ins: numeric arguments; Follow: 1
    // where its statement evaluates an expression
    uint8_t count = 0;
    uint8_t texts = 0;  // calls, built-ins: string arguments
    int32_t index = -1;  // variable slot, string constant, call or built-in, by step
    // The ways on keep where they lead in the step itself, so that the next step's
    // address waits for one load, not a chain of them through the statement records.
    // Follow, Next, If (its then): the code in this line it last went on to, at
    // `link_offset` in the line's text.
    mutable int32_t link = -1;
    mutable int32_t link_offset = -1;
    // Next: the code of the body it goes round to, on the line after the for's; Follow,
    // If and the rest that lead to the start of a line that begins with a next: the same
    // for that next, kept here too so that the body's address is one load away, and the
    // body's line.
    mutable const ProgramLine* round_line = nullptr;
    mutable int32_t round_link = -1;
    Complex value;       // Constant, VariableIndex, the constant operand
};

// The deepest stacks a program may need; a statement whose expressions need deeper
// ones is left to the text interpreter.
inline constexpr int kProgramStack = 24;
inline constexpr int kTextStack = 8;

// A variable named in the line, looked up (and created) the first time it is read,
// then kept while the variable store's generation stays the line's `slots_generation`.
// Sized to a power of two: a slot is found by its index in every variable read.
struct alignas(64) VariableSlot {
    std::string name;
    int type = VT_COMPLEX;
    // Named in a function body: a variable that does not exist reads as 0 or "" and is
    // not made, since one made during a call would go again when the call ends.
    bool in_body = false;
    PCVAR* record = nullptr;  // null until looked up
};

inline constexpr int kMaxArguments = 10;

// A call of a def fn function that a program makes with an Invoke step: the body
// compiled for this call, its parameters read from the call's own values.
struct CompiledCall {
    const UserFunction* function = nullptr;
    int type = VT_COMPLEX;  // the function's, by its name
    int argument_count = 0;
    int32_t body = -1;  // the body's program
};

// The statements the engine compiles; any other is the text interpreter's. The two
// that go back, next and wend, stand together: a line change tells them from the
// others by one comparison.
#define COMPILED_STATEMENT_KINDS(KIND) \
    KIND(AssignNumber) KIND(AssignString) KIND(For) KIND(Next) KIND(Wend) KIND(If) KIND(Goto) KIND(Gosub) KIND(Return) KIND(While)

enum class Kind : uint8_t {
#define KIND(name) name,
    COMPILED_STATEMENT_KINDS(KIND)
#undef KIND
};

// Offsets count from the start of the line's text after its indentation.
struct Statement {
    Kind kind = Kind::Goto;
    int32_t end = 0;  // just after the statement's own text
    int32_t slot = -1;      // the assigned, for or named next variable
    int32_t code = -1;      // where the statement's own code begins in the line's array
    // The programs of a for's expressions, which its one step runs, -1 where it has
    // none (an assignment's, an if's and a while's lie in their code).
    int32_t value = -1;  // for start
    int32_t limit = -1;
    int32_t step = -1;
    // goto, gosub, if ... then line; while: its wend's line; next: the for line at
    // whose end the loop it last went round begins; wend, return: the line it first
    // led back to.
    ProgramLine* target = nullptr;
    // The statement at the start of `target` (next: of the line after it; wend,
    // return: at `else_offset`), as successor.
    int32_t target_start = -1;
    const char* resume = nullptr;   // while: just after its wend
    int32_t then_offset = -1;       // if: where a true condition goes on (-1: no then)
    // if: where a false one goes on; while: its keyword; wend, return: where in
    // `target` it first led back to
    int32_t else_offset = -1;
    bool evaluates = false;         // reads an expression, which clears the error buffer
    bool whole = false;             // assigns an integer variable or element
    bool appends = false;           // s$ = s$ + …: the rest is appended where s$ lies
    // What follows `end`: the next statement's start where one ":" lies between,
    // kFollowLineEnd where the line's statements end there, or kFollowUnknown. An if
    // has kFollowLineEnd where a false condition goes on at the line's very end.
    int32_t follow = -1;
    // The statement at `follow` once looked up: its index (in the next line's statements
    // where `follow` is kFollowLineEnd), or kTextOnly.
    int32_t successor = -1;
    // The code of the statements that `successor` and `target_start` name, once a
    // quick way on has looked them up.
    int32_t successor_code = -1;
    int32_t target_code = -1;
};

inline constexpr int32_t kUntried = -1;
inline constexpr int32_t kTextOnly = -2;
inline constexpr int32_t kFollowUnknown = -1;
inline constexpr int32_t kFollowLineEnd = -2;

struct CompiledLine {
    uint64_t program_generation = 0;
    uint64_t functions_generation = 0;
    // The line's text after its indentation, which no edit changes without making a
    // new compiled form.
    const char* body = nullptr;
    int32_t length = 0;
    std::vector<int32_t> statement_at;  // by offset: a statement, kUntried or kTextOnly
    std::vector<Statement> statements;
    std::vector<Instruction> program;
    std::vector<VariableSlot> slots;
    // The variable store's generation for which the slots' records were looked up:
    // when it differs, they are all forgotten at once, before the line runs on.
    uint64_t slots_generation = 0;
    std::vector<std::string> strings;
    std::vector<const BuiltinFunction*> builtins;
    std::vector<CompiledCall> calls;
};

}  // namespace compiled
