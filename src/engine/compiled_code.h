// The compiled form of a program line: each statement, the first time it runs,
// translated into a small tree of nodes with its names, numbers and jump targets
// already resolved. The text stays the truth: a compiled statement that meets
// anything it cannot reproduce exactly gives the statement back, unchanged, to the
// text interpreter.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "values/complex.h"

struct PCVAR;
struct ProgramLine;
struct BuiltinFunction;
struct UserFunction;

namespace compiled {

enum class Op : uint8_t {
    // Numbers.
    Constant, Variable, Element, Err, Erl,
    Negate, Add, Subtract, Multiply, Divide, Power,
    Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual,
    StringEqual, StringNotEqual, StringLess, StringLessEqual, StringGreater, StringGreaterEqual,
    Not, And, Or, Xor, Imp, Eqv,
    Builtin, Len, Instr, Asc, Call, Parameter,
    Int, Norm,  // the commonest built-ins, made nodes of their own
    VariablePlus,  // a subscript: variable `index` plus `value`, a zero's sign left as it is
    // Strings.
    StringConstant, StringVariable, StringElement, Concat, Left, Right, Mid, Chr, Str, Space, StringOf,
    StringCall, StringParameter,
};

// Children are further nodes of the same line: operands, arguments or subscripts.
struct Node {
    Node() = default;
    explicit Node(Op kind, int32_t slot_or_index = -1) : op(kind), index(slot_or_index) {}
    Node(Op kind, Complex constant) : op(kind), value(constant) {}

    Op op = Op::Constant;
    bool normalize = false;  // a sum's result: a negative zero part becomes +0
    uint8_t count = 0;       // subscripts or arguments in `child`
    int32_t index = -1;  // variable slot, string constant or built-in, by op
    std::array<int32_t, 4> child{-1, -1, -1, -1};
    Complex value;  // Constant
};

// A numeric expression of a statement flattened into steps over a stack of values,
// in the order the tree would be evaluated, each check where the tree makes it.
enum class Step : uint8_t {
    Constant, Variable, Err, Erl,
    Index,          // the value on top made a whole-number subscript, or refused
    VariableIndex,  // the same of variable `index` plus `value`, pushed
    Element,        // the element that the `count` indices on top name
    // The same with its subscripts in the `count` VariableIndex steps that follow it,
    // which it reads itself.
    ElementAt,
    AddElementAt,  // the same element added to the value on top, as Add would
    // Sums make a zero part +0 themselves: a sum inside a sum only adds to a result
    // that is made so, whose sign a zero term cannot change.
    Negate, Int, Norm, Add, Subtract, Multiply, Divide, Power, Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual,
    // The same with constant `value` as the right operand (a real one for orderings). The
    // comparisons of this group and of the next lie together, from Equal to GreaterEqual.
    AddConstant, SubtractConstant, MultiplyConstant, DivideConstant, EqualConstant, NotEqualConstant,
    LessConstant, LessEqualConstant, GreaterConstant, GreaterEqualConstant,
    // The same with variable `index` as the right operand, read after an ordering's left
    // side is found real.
    AddVariable, SubtractVariable, MultiplyVariable, DivideVariable, EqualVariable, NotEqualVariable,
    LessVariable, LessEqualVariable, GreaterVariable, GreaterEqualVariable,
    // Variable `index` times constant `value`, added to or subtracted from the value on
    // top, as the three steps would.
    AddScaledVariable, SubtractScaledVariable,
    // Division by the real constant `value`, neither zero nor NaN.
    DivideReal,
    // x - int(x / c) * c of the value x on top, the remainder as programs without a
    // mod operator write it: `value` as DivideReal's, with an imaginary part of +0, and
    // `count` 1 where the quotient's zeros are made +0. One step for the steps it stands
    // for, which it computes in the same order.
    RemainderReal,
    Real,  // the value on top must be real: the left side of an ordering
    Not, And, Or, Xor, Imp, Eqv,
    Normalize,  // a sum's result: a negative zero part becomes +0
    Parameter,  // argument `index` of the call whose body runs
    // Node `index`, a def fn call, a built-in, or len, instr or asc, called directly.
    Call, Builtin, Measure,
    // A def fn call written out in the program: CallBegin pushes the variable store's
    // mark, the arguments follow (each made Whole where the call wants integers), then
    // the body, whose Argument steps read stack slot `index`; CallEnd leaves the value
    // in place of the mark and the `count` arguments, and drops what they made.
    CallBegin, Argument, Whole, CallEnd,
    Tree,       // node `index`, evaluated as a tree
    End,
};

struct Instruction {
    Step step = Step::End;
    uint8_t count = 0;  // Element, ElementAt: subscripts; CallEnd: arguments
    int32_t index = -1;  // variable slot or node, by step
    Complex value;       // Constant, VariableIndex, the constant operand
};

// The deepest stack a program may need; a deeper expression stays a single Tree step.
inline constexpr int kProgramStack = 24;

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

// A call of a def fn function: the arguments, and the body compiled for this call
// with its parameters read from the call's own values.
struct CompiledCall {
    const UserFunction* function = nullptr;
    int type = VT_COMPLEX;  // the function's, by its name
    std::array<int32_t, kMaxArguments> arguments{};
    int argument_count = 0;
    int32_t body = -1;
    int32_t body_program = -1;  // a numeric body as a program
};

enum class Kind : uint8_t { AssignNumber, AssignString, For, Next, If, Goto, Gosub, Return, While, Wend };

// Offsets count from the start of the line's text after its indentation.
struct Statement {
    Kind kind = Kind::Goto;
    int32_t end = 0;  // just after the statement's own text
    int32_t slot = -1;      // the assigned, for or named next variable
    int32_t assigned = -1;  // the assigned element, with its subscripts
    int32_t value = -1;  // right side, for start, if or while condition
    int32_t limit = -1;
    int32_t step = -1;
    // Programs where they run faster than the trees: the value's, and the one that
    // leaves the indices of an assigned number element; -1 where the tree is walked.
    int32_t value_program = -1;
    int32_t subscripts = -1;
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
    // The value's program only compares a variable, an element or a len, instr or asc with
    // a constant or a variable: a condition finds it without running the program.
    bool compares = false;
    // What follows `end`: the next statement's start where one ":" lies between,
    // kFollowLineEnd where the line's statements end there, or kFollowUnknown. An if
    // has kFollowLineEnd where a false condition goes on at the line's very end.
    int32_t follow = -1;
    // The statement at `follow` once looked up: its index (in the next line's statements
    // where `follow` is kFollowLineEnd), or kTextOnly.
    int32_t successor = -1;
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
    std::vector<Node> nodes;
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
