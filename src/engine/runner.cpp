// Running compiled statements. Every check of the text interpreter is made here in
// the same order; where one would fail, the statement is declined before it has
// changed anything but the creation of variables, which the text interpreter then
// finds already made, in the same order. Strings live in 255-byte buffers on the stack.
#include "engine/runner.h"

#include <cassert>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#include "graphics/graphics_state.h"
#include "interp/program_store.h"
#include "interp/vmbas.h"
#include "io/break_flag.h"
#include "io/console_state.h"
#include "values/builtin_functions.h"
#include "values/complex_math.h"
#include "values/error.h"
#include "values/evaluator.h"
#include "values/language_rules.h"
#include "values/number_format.h"
#include "values/text_scan.h"
#include "values/text_search.h"
#include "values/user_functions.h"

namespace compiled {

namespace {

// A string value: its bytes lie in `bytes`, in a variable, in a constant or in
// another text of the stack. Either part may already lie in `bytes`.
struct Text {
    std::string_view view;
    char bytes[C_STR::kMaxLength];

    void set(std::string_view a, std::string_view b = {}) {
        put(0, a);
        put(a.size(), b);
        view = {bytes, a.size() + b.size()};
    }

private:
    // An empty view may have no bytes at all, which memmove must not be given.
    void put(size_t at, std::string_view part) {
        if (!part.empty()) std::memmove(bytes + at, part.data(), part.size());
    }
};

Complex real(double x) { return {x, 0.0}; }

using rules::truth;

// The rules' operators of steps, which lie in the same order as theirs: an ordering
// step of any of its three groups (`less` names the group), a logical step, a
// comparison of texts.
constexpr rules::Ordering ordering_of(Step step, Step less) {
    return static_cast<rules::Ordering>(static_cast<int>(step) - static_cast<int>(less));
}
rules::Logical logical_of(Step step) { return static_cast<rules::Logical>(static_cast<int>(step) - static_cast<int>(Step::And)); }
rules::Comparison comparison_of(Step step) {
    return static_cast<rules::Comparison>(static_cast<int>(step) - static_cast<int>(Step::TextEqual));
}

// Whether `codes`, listed in the order of a rule's enumerators, lie in that order one
// after another, as the conversions above take them.
template <typename Code, typename... Codes>
constexpr bool follow_one_another(Code first, Codes... rest) {
    int place = 0;
    return ((static_cast<int>(rest) - static_cast<int>(first) == ++place) && ...);
}
static_assert(follow_one_another(Step::Less, Step::LessEqual, Step::Greater, Step::GreaterEqual));
static_assert(follow_one_another(Step::LessConstant, Step::LessEqualConstant, Step::GreaterConstant,
                                 Step::GreaterEqualConstant));
static_assert(follow_one_another(Step::LessVariable, Step::LessEqualVariable, Step::GreaterVariable,
                                 Step::GreaterEqualVariable));
static_assert(follow_one_another(Step::And, Step::Or, Step::Xor, Step::Imp, Step::Eqv));
static_assert(follow_one_another(Step::TextEqual, Step::TextNotEqual, Step::TextLess, Step::TextLessEqual,
                                 Step::TextGreater, Step::TextGreaterEqual));

// A next's step: the loop's variable moved on, and whether the loop goes round again.
[[gnu::always_inline]] inline bool goes_round(const ForEntry& loop, PCVAR& variable) {
    rules::advance(variable.value, loop.increment, loop.type);
    return rules::loop_goes_on(variable.value.re, loop.limit, loop.step);
}

// The values and texts of a running program, left unset: every step writes one before
// any step reads it. One slot more than the deepest program needs keeps the topmost
// value across a call.
struct ProgramStack {
    ProgramStack() {}
    union {
        Complex values[kProgramStack + 1];
    };
    union {
        Text texts[kTextStack];
    };
};

// A whole-number argument that its step has checked.
int32_t whole(Complex checked) { return static_cast<int32_t>(checked.re); }

class Runner {
public:
    // No compiled statement sets the option base.
    explicit Runner(C_VMBAS& vm) : vm_(vm), lowest_index_(rules::lowest_subscript(vm.option_base)) {}

    Outcome run_from(const char*& p);

private:
    const Statement* statement_at(const char* p) {
        const Statement* statement = find_statement(vm_, line_, p);
        if (statement) take_tables();
        return statement;
    }
    [[gnu::always_inline]] void take_tables() {
        slots_ = line_.code->slots.data();
        program_ = line_.code->program.data();
        keep_records_current();
    }
    // Where a record found by name may have gone or been hidden since the line's
    // variables were looked up, they are looked up again as they are read.
    void keep_records_current() {
        if (line_.code->slots_generation != vm_.variables.generation()) [[unlikely]]
            forget_records();
    }
    [[gnu::noinline]] void forget_records();
    [[gnu::always_inline]] Outcome run(const Statement& statement, const char*& p);
    const Statement* successor(const Statement& statement, const char* p) {
        if (statement.successor >= 0) return &line_.code->statements[static_cast<size_t>(statement.successor)];
        return find_successor(statement, p);
    }
    [[gnu::noinline]] const Statement* find_successor(const Statement& statement, const char* p);
    // The statement at the start of the line that `from` has just led to (its line end,
    // a false if or a jump), the dispatcher's steps made: kept in `from`'s `link` once
    // looked up, since that line's compiled form stays current as long as this one does.
    // Null where the dispatcher stops or the text interpreter goes on, `p` where it stands.
    const Statement* first_of_line(const Statement& from, int32_t Statement::*link, const char*& p) {
        if (from.*link < 0) return find_first_of_line(from, link, p);
        line_ = {vm_.current_line, vm_.current_line->compiled.get()};
        take_tables();
        return &line_.code->statements[static_cast<size_t>(from.*link)];
    }
    [[gnu::noinline]] const Statement* find_first_of_line(const Statement& from, int32_t Statement::*link, const char*& p);
    [[gnu::noinline]] const Statement* find_loop_body(const Statement& next, ProgramLine* for_line, const char* p);
    bool same_landing(const Statement& from, ProgramLine* line, int32_t offset);
    [[gnu::noinline]] bool go_past_end(const Statement& statement, const char* body, const char*& p);
    bool to_next_line(const char*& p);
    // What jumping to the current line does besides making it current.
    void jump_to_line_again() { vm_.jump_to_line(vm_.current_line); }
    // Whether making `line` current would show it: a way that passes a line by must not.
    bool shows_trace_mark(const ProgramLine& line) const { return rules::shows_trace_mark(vm_.trace, line); }
    bool ready_for_statement();
    [[gnu::noinline]] bool attend();
    bool go_to_next_statement(const char*& p);
    // Where the run goes on after a statement: the next statement to run, or none where
    // it stops with `outcome`. A way that leads to no compiled statement stops with
    // Jumped, and the dispatcher goes on from the position.
    struct WayOn {
        const Statement* statement;
        Outcome outcome;
    };
    static WayOn stop(Outcome outcome) { return {nullptr, outcome}; }
    static WayOn go(const Statement* statement) { return {statement, Outcome::Jumped}; }
    [[gnu::always_inline]] WayOn way_on(const Statement& statement, Outcome outcome, const char* body, const char*& p);
    WayOn past_false_if(const Statement& statement, const char*& p);
    [[gnu::noinline]] const Instruction* way_on_step(const Instruction& step);
    [[gnu::noinline]] WayOn follow_step(int32_t index);
    [[gnu::noinline]] WayOn next_step(int32_t index);
    [[gnu::noinline]] WayOn statement_step(int32_t index);
    [[gnu::noinline]] WayOn after_loop_step(int32_t index);
    // The quick ways on, which `way_on_from` takes only while nothing waits in the
    // attention word (a trace that shows counts there), where the links and records
    // they follow are known: the code to go on with, or null for the usual way, nothing
    // changed yet. No call: the loop's topmost value stays in its register.
    [[gnu::always_inline]] const Instruction* follow_quickly(const Instruction& step);
    [[gnu::always_inline]] const Instruction* next_quickly(const Instruction& step);
    [[gnu::always_inline]] const Instruction* if_quickly(const Instruction& step, Complex value);
    [[gnu::always_inline]] const Instruction* while_quickly(const Instruction& step, Complex value);
    [[gnu::always_inline]] const Instruction* statement_quickly(const Instruction& step);
    [[gnu::always_inline]] const Instruction* wend_quickly(Statement& statement);
    // Code `code` of this line, at `offset` in its text, gone on to.
    [[gnu::always_inline]] const Instruction* go_within_line(int32_t code, int32_t offset);
    // The statement at `offset` of the text of the line of form `form`, known and
    // compiled, or -1.
    static int32_t statement_at_offset(const CompiledLine& form, int32_t offset) {
        return offset < form.length ? form.statement_at[static_cast<size_t>(offset)] : -1;
    }
    // The way on after statement `statement`, from its end: its code, or null.
    [[gnu::always_inline]] const Instruction* past_end_quickly(Statement& statement, const Instruction& step) {
        ProgramLine* const next = vm_.current_line->next;
        return can_go_past_end(statement, next) ? go_past_end(statement, step, next) : nullptr;
    }
    // Whether that way is one to take quickly: to a statement after it in its line, or
    // to the start of `next`, the line after, which can be entered.
    [[gnu::always_inline]] bool can_go_past_end(const Statement& statement, const ProgramLine* next) const {
        return statement.successor >= 0 && (statement.follow == kFollowLineEnd ? can_enter(next) : statement.follow >= 0);
    }
    // That way, taken.
    [[gnu::always_inline]] const Instruction* go_past_end(Statement& statement, const Instruction& step, ProgramLine* next);
    // Whether `line`'s compiled form may become the runner's without a look at its records.
    [[gnu::always_inline]] bool can_enter(const ProgramLine* line) const {
        return line && line->compiled->slots_generation == vm_.variables.generation();
    }
    // Makes `line`, which can be entered, current as a line change without trace does,
    // and its tables the runner's: its code from `code_start`, at `offset` in its text.
    [[gnu::always_inline]] const Instruction* enter_line(ProgramLine* line, int32_t code_start, int32_t offset = 0);
    // On to statement `index` at the start of `line`, which can be entered; `code` keeps
    // its code once looked up.
    [[gnu::always_inline]] const Instruction* onto_line_start(ProgramLine* line, int32_t index, int32_t& code,
                                                              const Instruction& from);
    // Next statement `next`, which begins `line`, going round its loop to a body on the
    // line after the for's; null where it would not.
    [[gnu::always_inline]] const Instruction* round_from(ProgramLine* line, const Statement& next,
                                                         const Instruction& from);
    // The way on from `from` to the start of `line` where it went round the innermost
    // loop last time by a next there, taken again: the checks made then still hold
    // while the loop and the store's generation do. Null where it is not that way.
    [[gnu::always_inline]] const Instruction* round_again(const Instruction& from, const ProgramLine* line);
    // A pass of `loop`, whose body is the code `code` of `body_line`: null where the
    // loop ends, nothing changed.
    [[gnu::always_inline]] const Instruction* pass_to_body(ForEntry& loop, ProgramLine* body_line, int32_t code);
    // Next step `step` has ended its loop: on by the usual way after it, the buffer
    // emptied as by every way a next takes.
    [[gnu::always_inline]] const Instruction* end_loop(const Instruction& step);
    // The innermost loop, where the store still holds its variable's record: the one a
    // quick way round may take. Null where there is none.
    [[gnu::always_inline]] ForEntry* kept_loop() {
        if (vm_.for_depth == 0) return nullptr;
        ForEntry& loop = vm_.for_stack[static_cast<size_t>(vm_.for_depth - 1)];
        return loop.generation == vm_.variables.generation() ? &loop : nullptr;
    }
    [[gnu::cold]] bool may_go_round(CurrentLine at, const Instruction& step, const ForEntry& loop);
    void take_links_for(const Instruction& step, const ForEntry& loop);
    [[gnu::always_inline]] const Instruction* within_line_at(const Statement& from, int32_t offset);
    [[gnu::always_inline]] const Instruction* return_quickly(Statement& statement, const Instruction& step);
    // The code of statement `index` of `form`, kept in `code` once looked up.
    [[gnu::always_inline]] static int32_t linked_code(int32_t& code, const CompiledLine& form, int32_t index) {
        if (code < 0) [[unlikely]]
            code = form.statements[static_cast<size_t>(index)].code;
        return code;
    }
    // Whether wend or return `from` leads to the landing it led to the first time, whose
    // statement is known.
    static bool lands_as_before(const Statement& from, const ProgramLine* line, int32_t offset) {
        return from.target_start >= 0 && from.target == line && from.else_offset == offset;
    }
    // The loop's own steps, which the helpers below return in place of the step to go
    // on with where the run does not simply go on.
    static constexpr Instruction loop_step(Step step) {
        Instruction made;
        made.step = step;
        return made;
    }
    static inline const Instruction kUsualWay = loop_step(Step::UsualWay);
    static inline const Instruction kLoopEnded = loop_step(Step::LoopEnded);  // a next whose loop `next_quickly` ended
    static inline const Instruction kStop = loop_step(Step::Stop);
    static inline const Instruction kRefuse = loop_step(Step::Refuse);
    // The step after `step` where it has gone through, or the refusal.
    static const Instruction* onward(bool through, const Instruction& step) {
        if (through) [[likely]]
            return &step + 1;
        return &kRefuse;
    }
    // The statement boundary, the one place where the loop looks at the attention word
    // (the break flag, tron, the refresh tick): the quick way on that `quick_way` finds
    // from `step` (given an if's or a while's condition), taken only where nothing waits
    // there, or else the usual way on from `step`, which attends to what waits and
    // finds an if's or a while's condition in `condition_`.
    template <auto quick_way, typename... Condition>
    [[gnu::always_inline]] const Instruction* way_on_from(const Instruction& step, Condition... condition) {
        if (!attention::any()) [[likely]] {
            const Instruction* on = (this->*quick_way)(step, condition...);
            if (on) [[likely]]
                return on;
        }
        ending_ = &step;
        ((condition_ = condition), ...);
        return &kUsualWay;
    }
    // An if or a while takes its condition from the stack.
    [[gnu::always_inline]] static Complex take_condition(Complex*& top, Complex& top_value) {
        const Complex condition = top_value;
        top_value = *--top;
        return condition;
    }
    // Where a way on leads: its statement's code, or the loop's stop or refusal.
    const Instruction* code_of(WayOn way);
    // The steps that may refuse: the step to go on with, or the refusal.
    [[gnu::always_inline]] const Instruction* subscript(const Instruction& step, Complex& value) const;
    [[gnu::always_inline]] const Instruction* indexed_element(const Instruction& step, const Complex* subscripts,
                                                              Complex& out);
    [[gnu::always_inline]] const Instruction* element_after(const Instruction& step, Complex& out);
    [[gnu::always_inline]] const Instruction* aim_after(const Instruction& step);
    [[gnu::always_inline]] const Instruction* aim_indexed(const Instruction& step, const Complex* subscripts);
    // The record a store writes to. Finding one not yet known is a call, across which
    // the topmost value waits in the free slot above the stack.
    [[gnu::always_inline]] PCVAR* assigned(const Instruction& step, Complex* free_slot, Complex& top_value);
    // The value StoreElementVariable stores, found the same way.
    [[gnu::always_inline]] Complex element_source(const Instruction& step, Complex* free_slot, Complex& top_value);
    [[gnu::always_inline]] static Complex remainder_by_real(Complex value, const Instruction& step);
    // A def fn call written out begins: the variable store's mark.
    size_t begin_call() {
        const size_t mark = vm_.variables.mark();
        if (open_calls_++ == 0) outermost_mark_ = mark;
        return mark;
    }
    bool past_separators(const char*& p);

    VariableSlot& slot(int32_t index) { return slots_[index]; }
    // Null only for a variable named in a function body that does not exist.
    PCVAR* record(int32_t index) {
        VariableSlot& variable = slot(index);
        if (!variable.record) [[unlikely]]
            return find_record(variable);
        return variable.record;
    }
    PCVAR* find_record(VariableSlot& variable);
    [[gnu::always_inline]] bool place(int32_t slot_index, int count, const int32_t* values, PCVAR*& found, size_t& element);
    // The same for indices that a program left on its stack.
    bool place_indexed(int32_t slot_index, int count, const Complex* indices, PCVAR*& found, size_t& element) {
        int32_t values[kMaxDimensions];
        for (int d = 0; d < count; ++d) values[d] = static_cast<int32_t>(indices[d].re);
        return place(slot_index, count, values, found, element);
    }
    [[gnu::always_inline]] bool locate_at(const Instruction& at, PCVAR*& found, size_t& element);
    // Aims an assignment at element `element` of `found`, a number or a string array.
    [[gnu::noinline]] bool store_text(const Instruction& step, std::string_view value);
    void aim_at(PCVAR* found, size_t element) {
        if (found->type == VT_STRING) {
            text_element_ = &found->string_elements[element];
        } else {
            number_element_ = &found->numeric_elements[element];
        }
    }

    // Runs the program at `start` on `stack`: one past the last value it leaves, or null
    // where a step refuses. The values it leaves begin at `stack.values + 1`, a text it
    // leaves is `stack.texts[0]`; the topmost value is also stored in `result`, from the
    // register that holds it.
    Complex* execute(int32_t start, ProgramStack& stack, Complex& result);
    // The tops of the two stacks, each one past its topmost.
    struct StackTops {
        Complex* top;
        Text* text;
    };
    [[gnu::noinline]] StackTops step_out_of_loop(const Instruction& i, StackTops at);
    [[gnu::always_inline]] bool evaluate(int32_t start, Complex& out) {
        ProgramStack stack;
        return execute(start, stack, out) != nullptr;
    }
    [[gnu::always_inline]] bool element_at(const Instruction& at, Complex& out);
    // Each comparison step apart, so that none tests which it is.
    template <Step kind>
    [[gnu::always_inline]] bool compare(const Instruction& step, Complex& value);

    // A subscript's whole-number value, refused as the text interpreter refuses it.
    bool as_index(Complex value, int32_t& out) const {
        return rules::names_index(value, lowest_index_, out);
    }
    [[gnu::always_inline]] Complex variable_value(int32_t index) {
        const PCVAR* found = record(index);
        return found ? found->value : Complex{};
    }
    std::string_view variable_text(int32_t index) {
        const PCVAR* found = record(index);
        return found ? found->string_value.view() : std::string_view();
    }
    [[gnu::noinline]] bool builtin(const Instruction& call, const Complex* values, const Text* texts, Complex& out);
    [[gnu::noinline]] bool invoke(const Instruction& call, const Complex* values, const Text* texts, Complex* number_out,
                                  Text* text_out);

    [[gnu::noinline]] Outcome for_loop(const Statement& statement);
    [[gnu::always_inline]] Outcome next(const Statement& statement, const char*& p, const char* body);
    [[gnu::always_inline]] PCVAR* loop_variable(const Statement& statement, const ForEntry& loop);
    [[gnu::always_inline]] Outcome go_round(const Statement& statement, const ForEntry& loop, const char*& p,
                                            const char* body);
    [[gnu::always_inline]] Outcome if_then(const Statement& statement, Complex value, const char*& p, const char* body);
    [[gnu::always_inline]] Outcome jump(const Statement& statement, const char*& p);
    [[gnu::always_inline]] Outcome while_loop(const Statement& statement, Complex value, const char*& p,
                                              const char* body);

    // The arguments of the call whose body is being evaluated, left unset until then: a
    // call gives every parameter its argument before the body reads one. A string
    // argument stays on the caller's stack of texts while the body runs.
    struct Frame {
        Frame() {}
        union {
            Complex numbers[kMaxArguments];
        };
        union {
            std::string_view strings[kMaxArguments];
        };
    };

    // The end of a call: the variables made since `mark` by its arguments go.
    void release_to(size_t mark) {
        vm_.variables.release_to(mark);
        keep_records_current();
    }
    // A statement declined in calls written out in a program: what their arguments made
    // goes, as it does when a call fails.
    void end_unfinished_calls() {
        if (open_calls_ == 0) return;
        release_to(outermost_mark_);
        open_calls_ = 0;
    }

    C_VMBAS& vm_;
    const int32_t lowest_index_;
    CurrentLine line_;
    VariableSlot* slots_ = nullptr;
    const Instruction* program_ = nullptr;
    const Frame* frame_ = nullptr;
    // Where a next that goes round again continues, when it is a compiled statement at
    // the start of the loop's body, in the same line or at the start of the next.
    const Statement* loop_body_ = nullptr;
    // A goto, gosub or if ... then line that has just made its target current.
    const Statement* jumped_from_ = nullptr;
    // Calls that a program has begun and not ended, and the variable store's mark when
    // the outermost of them began.
    int open_calls_ = 0;
    size_t outermost_mark_ = 0;
    // Where the run stands in the text: the start of the statement that runs, or where
    // the run stopped, with `stopped_with_`.
    const char* p_ = nullptr;
    Outcome stopped_with_ = Outcome::Done;
    bool moved_ = false;  // a statement has run to its end, and the run has gone on
    Complex condition_;   // the value of the condition of the if or while that runs
    // The step whose statement takes the usual way on, or the next whose loop a quick
    // way has just ended.
    const Instruction* ending_ = nullptr;
    // The element an assignment stores into, found before its value.
    Complex* number_element_ = nullptr;
    C_STR* text_element_ = nullptr;
};

// Missing variables of function bodies are not made, so such a slot stays null and
// is looked up at every read until the variable exists.
PCVAR* Runner::find_record(VariableSlot& variable) {
    variable.record = variable.in_body ? vm_.variables.find(variable.name) : vm_.variables.find_or_create(variable.name);
    return variable.record;
}

void Runner::forget_records() {
    for (VariableSlot& variable : line_.code->slots) variable.record = nullptr;
    line_.code->slots_generation = vm_.variables.generation();
}

// The element that the subscripts name; the record is found after they are read, as
// they may mention variables not made yet.
inline bool Runner::place(int32_t slot_index, int count, const int32_t* values, PCVAR*& found, size_t& element) {
    found = record(slot_index);
    if (!found || found->dimension_count != count || values[0] >= found->dimension_sizes[0]) return false;
    size_t flat = static_cast<size_t>(values[0]);
    for (int d = 1; d < count; ++d) {
        const int32_t size = found->dimension_sizes[static_cast<size_t>(d)];
        if (values[d] >= size) return false;
        flat = flat * static_cast<size_t>(size) + static_cast<size_t>(values[d]);
    }
    // Within every bound, the element is within the array: dim makes it hold exactly
    // the product of its bounds.
    assert(flat < (found->type == VT_STRING ? found->string_elements.size() : found->numeric_elements.size()));
    element = flat;
    return true;
}

// The topmost value lives in `top_value`, the ones below it on the stack: a chain of
// steps on one value then keeps it in registers instead of storing and loading it at
// every step. The stack's first slot takes the unset value that the first push moves
// down, so stack slot k of the program's values is `stack[k + 1]`. A step that calls
// out (a built-in, a user function, floor, the search for an element) first pushes
// `top_value`, passes it, or leaves it in the free slot above the stack: kept live
// across such calls, GCC would hold it in memory at every step. The steps on texts
// and calls run apart from the loop, with every value on the stack.
//
// Each step ends with continue, which leads to the jump to the step that `i` names. A
// step that may refuse or stop asks a helper for the step to go on with, which is one
// of the loop's own steps where it does not simply go on: the steps never branch.
Complex* Runner::execute(int32_t start, ProgramStack& stacks, Complex& result) {
    Complex* const stack = stacks.values;
    Complex* top = stack;  // one past the values below the topmost
    Complex top_value;
    Text* text = stacks.texts;  // one past the topmost text
    // The one jump through the table that goes to each step. GCC copies it to the end
    // of every step, where the step's continue leads, so that each step's jump is
    // predicted apart, as in the loops of Lua and Wren.
    static const void* const kJumps[] = {
#define STEP(name, operands, pops, pushes, text_pops, text_pushes, meaning) &&step_##name,
#include "engine/steps.def"
#undef STEP
    };
    const Instruction* i = program_ + start;
    for (;;) {
        goto* kJumps[static_cast<size_t>(i->step)];
        step_Constant:
            *top++ = top_value;
            top_value = i->value;
            ++i;
            continue;
        step_Variable:
            *top++ = top_value;
            top_value = variable_value(i->index);
            ++i;
            continue;
        step_Err:
            *top++ = top_value;
            top_value = real(vm_.err);
            ++i;
            continue;
        step_Erl:
            *top++ = top_value;
            top_value = real(vm_.erl);
            ++i;
            continue;
        step_VariableIndex:
            *top++ = top_value;
            top_value = variable_value(i->index) + i->value;
            // and on, as Index
        step_Index: i = subscript(*i, top_value); continue;
        step_Element:
            *top++ = top_value;
            top -= i->count;
            i = indexed_element(*i, top, top_value);
            continue;
        step_ElementAt:
            *top++ = top_value;
            i = element_after(*i, top_value);
            continue;
        step_AddElementAt: {
            // Kept in memory across the search for the element, which may call.
            *top = top_value;
            Complex element;
            i = element_after(*i, element);
            top_value = normalized_sum(*top, element);
            continue;
        }
        step_Negate: top_value = -top_value; ++i; continue;
        step_Int:
            *top = top_value;  // floor may be a call
            top_value = rules::whole_part(*top);
            ++i;
            continue;
        step_Norm: top_value = rules::norm_of(top_value); ++i; continue;
        step_Add: top_value = normalized_sum(*--top, top_value); ++i; continue;
        step_Subtract: top_value = normalized_difference(*--top, top_value); ++i; continue;
        step_Multiply: top_value = *--top * top_value; ++i; continue;
        step_Divide: top_value = *--top / top_value; ++i; continue;
        step_Power: top_value = cmath::pow(*--top, top_value); ++i; continue;
        step_Equal: top_value = truth(rules::same_value(*--top, top_value)); ++i; continue;
        step_NotEqual: top_value = truth(!rules::same_value(*--top, top_value)); ++i; continue;
        step_AddConstant: top_value = normalized_sum(top_value, i->value); ++i; continue;
        step_SubtractConstant: top_value = normalized_difference(top_value, i->value); ++i; continue;
        step_MultiplyConstant: top_value = top_value * i->value; ++i; continue;
        step_DivideConstant: top_value = top_value / i->value; ++i; continue;
        step_DivideReal: top_value = divide_by_real(top_value, i->value.re); ++i; continue;
        step_RemainderReal:
            *top = top_value;  // floor may be a call
            top_value = remainder_by_real(*top, *i);
            ++i;
            continue;
        step_EqualConstant: i = onward(compare<Step::EqualConstant>(*i, top_value), *i); continue;
        step_NotEqualConstant: i = onward(compare<Step::NotEqualConstant>(*i, top_value), *i); continue;
        step_LessConstant: i = onward(compare<Step::LessConstant>(*i, top_value), *i); continue;
        step_LessEqualConstant: i = onward(compare<Step::LessEqualConstant>(*i, top_value), *i); continue;
        step_GreaterConstant: i = onward(compare<Step::GreaterConstant>(*i, top_value), *i); continue;
        step_GreaterEqualConstant: i = onward(compare<Step::GreaterEqualConstant>(*i, top_value), *i); continue;
        step_EqualVariable: i = onward(compare<Step::EqualVariable>(*i, top_value), *i); continue;
        step_NotEqualVariable: i = onward(compare<Step::NotEqualVariable>(*i, top_value), *i); continue;
        step_LessVariable: i = onward(compare<Step::LessVariable>(*i, top_value), *i); continue;
        step_LessEqualVariable: i = onward(compare<Step::LessEqualVariable>(*i, top_value), *i); continue;
        step_GreaterVariable: i = onward(compare<Step::GreaterVariable>(*i, top_value), *i); continue;
        step_GreaterEqualVariable: i = onward(compare<Step::GreaterEqualVariable>(*i, top_value), *i); continue;
        step_AddVariable: top_value = normalized_sum(top_value, variable_value(i->index)); ++i; continue;
        step_SubtractVariable: top_value = normalized_difference(top_value, variable_value(i->index)); ++i; continue;
        step_MultiplyVariable: top_value = top_value * variable_value(i->index); ++i; continue;
        step_DivideVariable: top_value = top_value / variable_value(i->index); ++i; continue;
        step_AddScaledVariable:
            top_value = normalized_sum(top_value, variable_value(i->index) * i->value);
            ++i;
            continue;
        step_SubtractScaledVariable:
            top_value = normalized_difference(top_value, variable_value(i->index) * i->value);
            ++i;
            continue;
        step_Real: i = onward(rules::is_real(top_value), *i); continue;
        step_Less:
        step_LessEqual:
        step_Greater:
        step_GreaterEqual: {
            const Complex left = *--top;
            const bool real = rules::is_real(top_value);
            top_value = truth(rules::ordered(ordering_of(i->step, Step::Less), left.re, top_value.re));
            i = onward(real, *i);
            continue;
        }
        step_Not: {
            Complex value;
            const bool whole = rules::logical_not(top_value, value);
            top_value = value;
            i = onward(whole, *i);
            continue;
        }
        step_And:
        step_Or:
        step_Xor:
        step_Imp:
        step_Eqv: {
            const Complex left = *--top;
            Complex value;
            const bool whole = rules::combine_logical(logical_of(i->step), left, top_value, value);
            top_value = value;
            i = onward(whole, *i);
            continue;
        }
        step_Normalize: top_value = normalize_zero(top_value); ++i; continue;
        step_Parameter:
            *top++ = top_value;
            top_value = frame_->numbers[i->index];
            ++i;
            continue;
        step_WholeArgument: i = onward(rules::int32_argument_error(top_value).empty(), *i); continue;
        step_CallBegin:
            // The mark, a count of records, is exact as a double.
            *top++ = top_value;
            top_value = real(static_cast<double>(begin_call()));
            ++i;
            continue;
        step_Argument:
            *top++ = top_value;
            top_value = stack[i->index + 1];
            ++i;
            continue;
        step_Whole: top_value = coerce_to_type(top_value, VT_INTEGER); ++i; continue;
        step_CallEnd:
            // The value stays on top; the arguments and the mark below it go.
            top -= i->count + 1;
            top[1] = top_value;
            release_to(static_cast<size_t>(top[0].re));
            --open_calls_;
            top_value = top[1];
            ++i;
            continue;
        step_Builtin:
        step_Invoke:
        step_InvokeText:
        step_Text:
        step_TextVariable:
        step_TextParameter:
        step_TextElement:
        step_Concat:
        step_Left:
        step_Right:
        step_Mid:
        step_Chr:
        step_Str:
        step_Space:
        step_StringOf:
        step_Len:
        step_Asc:
        step_Instr:
        step_TextEqual:
        step_TextNotEqual:
        step_TextLess:
        step_TextLessEqual:
        step_TextGreater:
        step_TextGreaterEqual: {
            *top++ = top_value;
            const StackTops after = step_out_of_loop(*i, {top, text});
            top = after.top;
            text = after.text;
            top_value = *--top;
            i = onward(text != nullptr, *i);
            continue;
        }
        // The steps of statements that call out keep the topmost value in the free
        // slot above the stack meanwhile, as the other steps that call out do.
        step_Target:
            *top = top_value;
            record(i->index);
            top_value = *top;
            ++i;
            continue;
        step_TargetElementAt:
            *top = top_value;
            i = aim_after(*i);
            top_value = *top;
            continue;
        step_TargetElement:
            *top++ = top_value;
            top -= i->count;
            i = aim_indexed(*i, top);
            top_value = *--top;
            continue;
        // The value goes from its register into the variable: through memory, it
        // would wait for its own store to be read back, in every pass of a loop.
        step_Store:
            assigned(*i, top, top_value)->value = top_value;
            top_value = *--top;
            ++i;
            continue;
        step_StoreWhole:
            assigned(*i, top, top_value)->value = coerce_to_type(top_value, VT_INTEGER);
            top_value = *--top;
            ++i;
            continue;
        step_StoreElement:
            *number_element_ = top_value;
            top_value = *--top;
            ++i;
            continue;
        step_StoreWholeElement:
            *number_element_ = coerce_to_type(top_value, VT_INTEGER);
            top_value = *--top;
            ++i;
            continue;
        step_StoreElementVariable: *number_element_ = element_source(*i, top, top_value); ++i; continue;
        step_StoreElementConstant: *number_element_ = i->value; ++i; continue;
        step_StoreText:
        step_AppendText:
        step_StoreTextElement: {
            *top = top_value;
            const bool stored = store_text(*i, (--text)->view);
            top_value = *top;
            i = onward(stored, *i);
            continue;
        }
        // The steps that end a statement: the statement boundary.
        step_Follow: i = way_on_from<&Runner::follow_quickly>(*i); continue;
        step_Next: i = way_on_from<&Runner::next_quickly>(*i); continue;
        step_Statement: i = way_on_from<&Runner::statement_quickly>(*i); continue;
        step_If: i = way_on_from<&Runner::if_quickly>(*i, take_condition(top, top_value)); continue;
        step_While: i = way_on_from<&Runner::while_quickly>(*i, take_condition(top, top_value)); continue;
        step_End:
            result = top_value;
            *top++ = top_value;
            return top;
        step_UsualWay:
            *top = top_value;
            i = way_on_step(*ending_);
            top_value = *top;
            continue;
        step_LoopEnded:
            *top = top_value;
            i = code_of(after_loop_step(ending_->index));
            top_value = *top;
            continue;
        step_Stop: return stack;
        step_Refuse: return nullptr;
    }
}

inline const Instruction* Runner::subscript(const Instruction& step, Complex& value) const {
    int32_t index;
    if (!as_index(value, index)) return &kRefuse;
    value.re = index;
    return &step + 1;
}

inline const Instruction* Runner::indexed_element(const Instruction& step, const Complex* subscripts, Complex& out) {
    PCVAR* found;
    size_t element;
    if (!place_indexed(step.index, step.count, subscripts, found, element)) return &kRefuse;
    out = found->numeric_elements[element];
    return &step + 1;
}

// The element whose subscripts lie in the `count` steps after `step`, which the run
// goes on past.
inline const Instruction* Runner::element_after(const Instruction& step, Complex& out) {
    Complex element;
    if (!element_at(step, element)) return &kRefuse;
    out = element;
    return &step + step.count + 1;
}

inline const Instruction* Runner::aim_after(const Instruction& step) {
    PCVAR* found;
    size_t element;
    if (!locate_at(step, found, element)) return &kRefuse;
    aim_at(found, element);
    return &step + step.count + 1;
}

inline const Instruction* Runner::aim_indexed(const Instruction& step, const Complex* subscripts) {
    PCVAR* found;
    size_t element;
    if (!place_indexed(step.index, step.count, subscripts, found, element)) return &kRefuse;
    aim_at(found, element);
    return &step + 1;
}

inline PCVAR* Runner::assigned(const Instruction& step, Complex* free_slot, Complex& top_value) {
    PCVAR* target = slot(step.index).record;
    if (target) [[likely]]
        return target;
    *free_slot = top_value;
    target = record(step.index);
    top_value = *free_slot;
    return target;
}

inline Complex Runner::element_source(const Instruction& step, Complex* free_slot, Complex& top_value) {
    const PCVAR* source = slot(step.index).record;
    Complex value;
    if (source) [[likely]] {
        value = source->value;
    } else {
        *free_slot = top_value;
        value = variable_value(step.index);
        top_value = *free_slot;
    }
    return step.count ? coerce_to_type(value, VT_INTEGER) : value;
}

// x - int(x / c) * c, in the order of the steps it stands for (`count` 1: the
// quotient's zeros made +0).
inline Complex Runner::remainder_by_real(Complex value, const Instruction& step) {
    Complex quotient = divide_by_real(value, step.value.re);
    if (step.count) quotient = normalize_zero(quotient);
    return normalized_difference(value, rules::whole_part(quotient) * Complex{step.value.re, 0.0});
}

// The steps that work on texts or call out, run apart from the loop, whose code then
// stays short. The stack of values holds every value here, the topmost included.
Runner::StackTops Runner::step_out_of_loop(const Instruction& i, StackTops at) {
    Complex* top = at.top;
    Text* text = at.text;
    const StackTops refused{top, nullptr};
    switch (i.step) {
        case Step::Builtin: {
            top -= i.count;
            text -= i.texts;
            Complex value;
            if (!builtin(i, top, text, value)) return refused;
            *top++ = value;
            break;
        }
        case Step::Invoke: {
            top -= i.count;
            text -= i.texts;
            Complex value;
            if (!invoke(i, top, text, &value, nullptr)) return refused;
            top[-1] = value;  // in place of the mark
            break;
        }
        case Step::InvokeText:
            top -= i.count;
            text -= i.texts;
            if (!invoke(i, top, text, nullptr, text)) return refused;
            ++text;
            --top;  // the mark
            break;
        case Step::Text: (text++)->view = line_.code->strings[static_cast<size_t>(i.index)]; break;
        case Step::TextVariable: (text++)->view = variable_text(i.index); break;
        case Step::TextParameter: (text++)->view = frame_->strings[i.index]; break;
        case Step::TextElement: {
            top -= i.count;
            PCVAR* found;
            size_t element;
            if (!place_indexed(i.index, i.count, top, found, element)) return refused;
            (text++)->view = found->string_elements[element].view();
            break;
        }
        case Step::Concat: {
            Text& left = text[-2];
            const std::string_view right = (--text)->view;
            if (!C_STR::fits(left.view.size() + right.size())) return refused;
            left.set(left.view, right);
            break;
        }
        case Step::Left:
            text[-1].view = rules::left_part(text[-1].view, whole(*--top));
            break;
        case Step::Right:
            text[-1].view = rules::right_part(text[-1].view, whole(*--top));
            break;
        case Step::Mid:
            top -= 2;
            text[-1].view = rules::middle_part(text[-1].view, whole(top[0]), whole(top[1]));
            break;
        case Step::Chr: {
            const char byte = rules::byte_of_code(whole(*--top));
            (text++)->set({&byte, 1});
            break;
        }
        case Step::Str: {
            const Complex value = *--top;
            (text++)->set(C_STR::clipped(format_default(value.re, value.im)));
            break;
        }
        case Step::Space:
        case Step::StringOf: {
            const int32_t code = i.step == Step::Space ? ' ' : whole(*--top);
            const size_t length = rules::repeat_count(whole(*--top));
            Text& made = *text++;
            std::memset(made.bytes, rules::byte_of_code(code), length);
            made.view = {made.bytes, length};
            break;
        }
        case Step::Len: *top++ = real(static_cast<double>((--text)->view.size())); break;
        case Step::Asc: *top++ = real(rules::first_byte((--text)->view)); break;
        case Step::Instr: {
            const std::string_view sought = (--text)->view;
            *top++ = real(static_cast<double>(instr_position((--text)->view, sought)));
            break;
        }
        default: {  // the comparisons of texts
            const std::string_view right = (--text)->view;
            const std::string_view left = (--text)->view;
            *top++ = truth(rules::string_comparison_holds(comparison_of(i.step), rules::compare_strings(left, right)));
        }
    }
    return {top, text};
}

// Step `at`, an element whose subscripts lie in the VariableIndex steps after it: where
// the element lies. The first subscript apart: for one dimension no loop runs.
inline bool Runner::locate_at(const Instruction& at, PCVAR*& found, size_t& element) {
    const Instruction* offsets = &at + 1;
    const int count = at.count;
    int32_t values[kMaxDimensions];
    if (!as_index(variable_value(offsets[0].index) + offsets[0].value, values[0])) return false;
    for (int d = 1; d < count; ++d)
        if (!as_index(variable_value(offsets[d].index) + offsets[d].value, values[d])) return false;
    return place(at.index, count, values, found, element);
}

inline bool Runner::element_at(const Instruction& at, Complex& out) {
    PCVAR* found;
    size_t element;
    if (!locate_at(at, found, element)) return false;
    out = found->numeric_elements[element];
    return true;
}

// Comparison step `step`, whose right operand is a constant or a variable, made on
// `value` in place. An ordering refuses imaginary parts, and reads its right operand
// only once its left one is found real, as the text interpreter does.
template <Step kind>
inline bool Runner::compare(const Instruction& step, Complex& value) {
    if constexpr (kind == Step::EqualConstant || kind == Step::NotEqualConstant) {
        value = truth(rules::same_value(value, step.value) == (kind == Step::EqualConstant));
    } else if constexpr (kind == Step::EqualVariable || kind == Step::NotEqualVariable) {
        value = truth(rules::same_value(value, variable_value(step.index)) == (kind == Step::EqualVariable));
    } else if constexpr (kind >= Step::LessConstant && kind <= Step::GreaterEqualConstant) {
        if (!rules::is_real(value)) return false;
        value = truth(rules::ordered(ordering_of(kind, Step::LessConstant), value.re, step.value.re));
    } else {
        static_assert(kind >= Step::LessVariable && kind <= Step::GreaterEqualVariable);
        if (!rules::is_real(value)) return false;
        const Complex right = variable_value(step.index);
        if (!rules::is_real(right)) return false;
        value = truth(rules::ordered(ordering_of(kind, Step::LessVariable), value.re, right.re));
    }
    return true;
}

// A pure built-in of the arguments its program left, `values` and `texts`, in the
// order of its format, each checked as it was read.
bool Runner::builtin(const Instruction& call, const Complex* values, const Text* texts, Complex& out) {
    const BuiltinFunction& function = *line_.code->builtins[static_cast<size_t>(call.index)];
    BuiltinArgs args;
    for (size_t k = 0; k < function.format.size(); ++k) {
        switch (function.format[k]) {
            case 'c': args.c[k] = *values++; break;
            case 'd': args.d[k] = (values++)->re; break;
            case 'l': args.l[k] = whole(*values++); break;
            default: args.s[k].assign((texts++)->view);
        }
    }
    // A function that fails leaves its message: only into an empty buffer, which is
    // emptied again so that the text interpreter meets the same state.
    if (vm_error::has_message()) return false;
    if (function.compute(vm_, args, out) < 0) {
        vm_error::clear();
        return false;
    }
    return true;
}

// A def fn call not written out: its body runs with the arguments its program left
// above the mark, and whatever variables the arguments made go again, as when the
// text interpreter calls the function. A string result goes to `text_out`, the place
// of the first text argument, which the copy may overlap.
bool Runner::invoke(const Instruction& call, const Complex* values, const Text* texts, Complex* number_out,
                    Text* text_out) {
    const CompiledCall& compiled = line_.code->calls[static_cast<size_t>(call.index)];
    const UserFunction& function = *compiled.function;
    const size_t mark = static_cast<size_t>(values[-1].re);
    Frame frame;
    for (int k = 0; k < compiled.argument_count; ++k) {
        if (function.parameter_types[static_cast<size_t>(k)] == VT_STRING)
            frame.strings[k] = (texts++)->view;
        else
            frame.numbers[k] = *values++;
    }
    const Frame* caller = frame_;
    frame_ = &frame;
    ProgramStack stack;
    bool ok = execute(compiled.body, stack, number_out ? *number_out : stack.values[0]) != nullptr;
    frame_ = caller;
    if (ok && text_out) text_out->set(stack.texts[0].view);
    if (ok && number_out && stores_whole_numbers(compiled.type)) *number_out = coerce_to_type(*number_out, VT_INTEGER);
    release_to(mark);
    --open_calls_;
    return ok;
}

// ---- Statements.

// The store of a string assignment. The variable's own bytes stay where they are when
// it is appended to; a sum over 255 bytes changes nothing, as the text interpreter
// then reports.
bool Runner::store_text(const Instruction& step, std::string_view value) {
    C_STR& target = step.step == Step::StoreTextElement ? *text_element_ : record(step.index)->string_value;
    if (step.step == Step::AppendText) return target.append(value);
    target.assign(value);
    return true;
}

Outcome Runner::for_loop(const Statement& statement) {
    PCVAR* variable = record(statement.slot);
    Complex start, limit;
    if (!evaluate(statement.value, start) || !evaluate(statement.limit, limit)) return Outcome::Declined;
    Complex step = rules::default_step(start, limit);
    if (statement.step >= 0 && !evaluate(statement.step, step)) return Outcome::Declined;
    if (!rules::for_bounds_error(start, limit, step).empty()) return Outcome::Declined;
    if (vm_.for_depth == kStackDepth) return Outcome::Declined;
    const VariableSlot& name = slot(statement.slot);
    variable->value = coerce_to_type(start, name.type);
    ForEntry& loop = vm_.for_stack[static_cast<size_t>(vm_.for_depth++)];
    loop.after = {vm_.current_line, statement.end};
    loop.variable.assign(name.name);
    loop.type = name.type;
    loop.limit = limit.re;
    loop.step = step.re;
    loop.increment = rules::loop_increment(step, name.type);
    loop.record = variable;
    loop.generation = vm_.variables.generation();
    loop.follow = statement.follow;
    loop.went_round = nullptr;
    loop.came_round = nullptr;
    return Outcome::Done;
}

// The variable of the innermost loop as next names it, or null where the name is
// another loop's and the text interpreter reports it.
inline PCVAR* Runner::loop_variable(const Statement& statement, const ForEntry& loop) {
    const bool kept = loop.generation == vm_.variables.generation();
    if (statement.slot < 0) return kept ? loop.record : vm_.variables.find_or_create(loop.variable);
    PCVAR* variable = record(statement.slot);
    const bool same = kept && variable == loop.record;
    return same || equals_nocase(slot(statement.slot).name, loop.variable) ? variable : nullptr;
}

inline Outcome Runner::next(const Statement& statement, const char*& p, const char* body) {
    if (vm_.for_depth == 0) return Outcome::Declined;
    ForEntry& loop = vm_.for_stack[static_cast<size_t>(vm_.for_depth - 1)];
    PCVAR* variable = loop_variable(statement, loop);
    if (!variable) return Outcome::Declined;
    if (goes_round(loop, *variable)) return go_round(statement, loop, p, body);
    --vm_.for_depth;
    p = body + statement.end;
    return Outcome::Done;
}

// A next whose loop goes round again goes straight to the body's first statement,
// past the ":" or the line end that the for's end would go over.
inline Outcome Runner::go_round(const Statement& statement, const ForEntry& loop, const char*& p, const char* body) {
    if (loop.follow >= 0 && loop.after.line == line_.line) {
        // A body in this line: its first statement is known once compiled.
        jump_to_line_again();
        p = body + loop.follow;
        const int32_t index = line_.code->statement_at[static_cast<size_t>(loop.follow)];
        if (index >= 0) loop_body_ = &line_.code->statements[static_cast<size_t>(index)];
        return Outcome::Jumped;
    }
    ProgramLine* body_line = loop.after.line->next;
    if (loop.follow == kFollowLineEnd && !shows_trace_mark(*loop.after.line) && body_line && !break_flag::is_set()) {
        // A body on the next line: the for line, left at once, shows nowhere. Finding
        // the body's statement (or compiling it) before the dispatcher's steps
        // changes nothing they do.
        p = vm_.jump_to_line(body_line);
        if (statement.target == loop.after.line && statement.target_start >= 0) {
            line_ = {body_line, body_line->compiled.get()};
            take_tables();
            loop_body_ = &line_.code->statements[static_cast<size_t>(statement.target_start)];
        } else {
            loop_body_ = find_loop_body(statement, loop.after.line, p);
        }
        return Outcome::Jumped;
    }
    if (loop.follow == kFollowUnknown) {
        p = vm_.jump_to(loop.after);
        return Outcome::Done;
    }
    const char* after = vm_.jump_to_line(loop.after.line);
    if (loop.follow >= 0) {
        p = after + loop.follow;
        return Outcome::Jumped;
    }
    p = loop.after.text();
    return to_next_line(p) ? Outcome::Jumped : Outcome::Done;
}

inline Outcome Runner::if_then(const Statement& statement, Complex value, const char*& p, const char* body) {
    if (!rules::is_real(value)) return Outcome::Declined;
    if (!rules::is_true(value)) {
        p = body + statement.else_offset;
    } else if (statement.then_offset < 0) {
        return Outcome::Declined;
    } else if (statement.target) {
        p = vm_.jump_to_line(statement.target);
        jumped_from_ = &statement;
    } else {
        p = body + statement.then_offset;
    }
    return Outcome::Jumped;
}

inline Outcome Runner::while_loop(const Statement& statement, Complex value, const char*& p, const char* body) {
    if (!rules::is_real(value)) return Outcome::Declined;
    if (!rules::is_true(value)) {
        vm_.jump_to_line(statement.target);
        p = statement.resume;
        return Outcome::Done;
    }
    if (vm_.while_depth == kStackDepth) return Outcome::Declined;
    vm_.while_stack[static_cast<size_t>(vm_.while_depth++)] = {{vm_.current_line, statement.else_offset}};
    p = body + statement.end;
    return Outcome::Done;
}

// goto, gosub and return.
inline Outcome Runner::jump(const Statement& statement, const char*& p) {
    switch (statement.kind) {
        case Kind::Goto:
            p = vm_.jump_to_line(statement.target);
            jumped_from_ = &statement;
            return Outcome::Jumped;
        case Kind::Gosub:
            if (vm_.gosub_depth == kStackDepth) return Outcome::Declined;
            vm_.gosub_stack[static_cast<size_t>(vm_.gosub_depth++)] = {{vm_.current_line, statement.end}, statement.follow};
            p = vm_.jump_to_line(statement.target);
            jumped_from_ = &statement;
            return Outcome::Jumped;
        case Kind::Return: {
            if (!vm_.is_running() || vm_.gosub_depth == 0) return Outcome::Declined;
            const GosubEntry entry = vm_.gosub_stack[static_cast<size_t>(--vm_.gosub_depth)];
            ProgramLine* const following = entry.resume.line->next;
            if (entry.follow == kFollowLineEnd && following && !shows_trace_mark(*entry.resume.line) && !attention::any()) {
                // Straight to the line after the gosub's: the gosub's own line, made
                // current on the way, would show nowhere.
                p = vm_.jump_to_line(following);
                if (same_landing(statement, following, 0)) jumped_from_ = &statement;
                return Outcome::Jumped;
            }
            p = vm_.jump_to(entry.resume);
            // Straight on past the ":" or the line end that the gosub's end would go over.
            if (entry.follow >= 0) {
                p = entry.resume.line->body() + entry.follow;
            } else if (entry.follow != kFollowLineEnd || !to_next_line(p)) {
                return Outcome::Done;
            }
            const char* landed = vm_.current_line->body();
            if (same_landing(statement, vm_.current_line, static_cast<int32_t>(p - landed))) jumped_from_ = &statement;
            return Outcome::Jumped;
        }
        default: __builtin_unreachable();  // only the three kinds come here
    }
}

inline Outcome Runner::run(const Statement& statement, const char*& p) {
    const char* body = line_.code->body;
    Outcome outcome = Outcome::Done;
    switch (statement.kind) {
        case Kind::For: outcome = for_loop(statement); break;
        case Kind::If: outcome = if_then(statement, condition_, p, body); break;
        case Kind::While:
            outcome = while_loop(statement, condition_, p, body);
            if (outcome == Outcome::Done) vm_error::clear();
            return outcome;
        case Kind::Goto:
        case Kind::Gosub:
        case Kind::Return: return jump(statement, p);
        case Kind::Wend: {
            if (vm_.while_depth == 0) return Outcome::Declined;
            const WhileEntry entry = vm_.while_stack[static_cast<size_t>(--vm_.while_depth)];
            p = vm_.jump_to(entry.keyword);
            if (same_landing(statement, entry.keyword.line, entry.keyword.offset)) jumped_from_ = &statement;
            return Outcome::Jumped;
        }
        default: __builtin_unreachable();  // assignments and next have steps of their own
    }
    if (outcome == Outcome::Declined) return outcome;
    if (statement.evaluates) vm_error::clear();
    if (outcome == Outcome::Done) p = body + statement.end;
    return outcome;
}

// From a statement's end across one ":", or at the line's end to the next line, as
// the dispatcher goes on; false where it would stop, leaving `p` at the end.
bool Runner::go_past_end(const Statement& statement, const char* body, const char*& p) {
    const bool at_own_end = p == body + statement.end;
    if (!at_own_end || statement.follow != kFollowLineEnd) {
        const char* q = skip_blanks(p);
        if (*q == ':') {
            p = q + 1;
            return true;
        }
        if (!at_statement_end(q)) return false;
    }
    return to_next_line(p);
}

// On to the next line as the statement end goes there; false where it stops instead.
bool Runner::to_next_line(const char*& p) {
    if (break_flag::is_set() || !vm_.current_line->next) return false;
    p = vm_.jump_to_line(vm_.current_line->next);
    return true;
}

// The statement at `p`, the start of the one after `statement` in the same line:
// looked up the first time, then kept.
const Statement* Runner::find_successor(const Statement& statement, const char* p) {
    std::vector<Statement>& statements = line_.code->statements;
    if (statement.successor == kTextOnly) return nullptr;
    const auto index = static_cast<size_t>(&statement - statements.data());
    const Statement* next = statement_at(p);  // may compile, and move the statements
    statements[index].successor = next ? static_cast<int32_t>(next - statements.data()) : kTextOnly;
    return next;
}

// The dispatcher's steps before each statement; false where it would stop.
bool Runner::ready_for_statement() {
    if (attention::any()) [[unlikely]]
        return attend();
    return true;
}

bool Runner::attend() {
    refresh_tick(vm_.graphics, vm_);
    if (break_flag::is_set()) return false;
    console().writer.flush_if_stale();
    return true;
}

// The same, over any further ":" and line ends.
bool Runner::go_to_next_statement(const char*& p) { return ready_for_statement() && past_separators(p); }

// Over any ":" and line ends from `p`, with the dispatcher's steps after each.
bool Runner::past_separators(const char*& p) {
    for (;;) {
        p = skip_blanks(p);
        if (*p == ':') {
            ++p;
        } else if (*p == '\0') {
            if (!vm_.current_line->next) return false;
            p = vm_.jump_to_line(vm_.current_line->next);
        } else {
            return true;
        }
        if (!ready_for_statement()) return false;
    }
}

const Statement* Runner::find_first_of_line(const Statement& from, int32_t Statement::*link, const char*& p) {
    std::vector<Statement>& statements = line_.code->statements;
    const auto index = static_cast<size_t>(&from - statements.data());
    const char* start = p;
    if (!past_separators(p)) return nullptr;
    const Statement* found = statement_at(p);  // may compile, and move the statements
    if (statements[index].*link == kUntried) {
        const bool kept = found && p == start;
        statements[index].*link = kept ? static_cast<int32_t>(found - line_.code->statements.data()) : kTextOnly;
    }
    return found;
}

// Whether `from`, a wend or a return, which may lead to other places each time, has
// led to the place it led to the first time, noted then: the statement there is kept
// as the first statement of a jump's target is.
bool Runner::same_landing(const Statement& from, ProgramLine* line, int32_t offset) {
    Statement& kept = line_.code->statements[static_cast<size_t>(&from - line_.code->statements.data())];
    if (!kept.target) {
        kept.target = line;
        kept.else_offset = offset;
    }
    return kept.target == line && kept.else_offset == offset;
}

// The statement at `p`, the start of the line after `for_line`, where `next` goes round
// a loop: kept in `next` with the for line, as the first statement of a line is kept.
const Statement* Runner::find_loop_body(const Statement& next, ProgramLine* for_line, const char* p) {
    CompiledLine& code = *line_.code;
    const auto index = static_cast<size_t>(&next - code.statements.data());
    const Statement* body = statement_at(p);  // may compile, and move the statements
    Statement& kept = code.statements[index];
    kept.target = for_line;
    kept.target_start = body ? static_cast<int32_t>(body - line_.code->statements.data()) : kTextOnly;
    // The code kept for the body of the loop it went round before is not this body's.
    kept.target_code = -1;
    return body;
}

// The code of the statement at `p` runs, and every statement after it, until one is
// declined or a way on stops.
Outcome Runner::run_from(const char*& p) {
    const Statement* statement = statement_at(p);
    if (!statement) return Outcome::Declined;
    p_ = p;
    ProgramStack stack;
    Complex unused;
    const bool stopped = execute(statement->code, stack, unused) != nullptr;
    p = p_;
    if (stopped) return stopped_with_;
    end_unfinished_calls();
    return moved_ ? Outcome::Jumped : Outcome::Declined;
}

// The statement that step `step` ends has run, or it runs now: the first step of the
// statement the run goes on to, or the loop's stop where it stops with `stopped_with_`.
const Instruction* Runner::way_on_step(const Instruction& step) {
    const WayOn way = step.step == Step::Follow ? follow_step(step.index)
                      : step.step == Step::Next ? next_step(step.index)
                                                : statement_step(step.index);
    if (way.statement) moved_ = true;
    return code_of(way);
}

const Instruction* Runner::code_of(WayOn way) {
    if (way.statement) return program_ + way.statement->code;
    stopped_with_ = way.outcome;
    return way.outcome == Outcome::Declined ? &kRefuse : &kStop;
}

// An assignment has stored its value: the way on from its end.
Runner::WayOn Runner::follow_step(int32_t index) {
    const Statement& statement = line_.code->statements[static_cast<size_t>(index)];
    if (statement.evaluates) vm_error::clear();
    const char* body = line_.code->body;
    p_ = body + statement.end;
    return way_on(statement, Outcome::Done, body, p_);
}

inline const Instruction* Runner::follow_quickly(const Instruction& step) {
    if (step.link >= 0) [[likely]] {
        // A next straight after goes round from here, without a jump to it first. Every
        // way it takes empties the buffer, as the end of this statement would.
        const Instruction& to = program_[step.link];
        if (to.step == Step::Next) {
            const Instruction* round = next_quickly(to);
            if (round) return round;
        }
        if (step.count) vm_error::clear();
        return go_within_line(step.link, step.link_offset);
    }
    if (const Instruction* round = round_again(step, vm_.current_line->next)) return round;
    Statement& statement = line_.code->statements[static_cast<size_t>(step.index)];
    // The usual way clears it first too, where this way is not taken.
    if (statement.evaluates) vm_error::clear();
    const Instruction* on = past_end_quickly(statement, step);
    if (on && statement.follow >= 0) {
        step.link = static_cast<int32_t>(on - program_);
        step.link_offset = statement.follow;
    }
    return on;
}

inline const Instruction* Runner::go_past_end(Statement& statement, const Instruction& step, ProgramLine* next) {
    if (statement.follow == kFollowLineEnd) return onto_line_start(next, statement.successor, statement.successor_code, step);
    // A next straight after: it runs here, without a jump to it first.
    const int32_t code = linked_code(statement.successor_code, *line_.code, statement.successor);
    return go_within_line(code, statement.follow);
}

// A next that begins the line and goes round its loop, or a wend that goes back to
// its while, goes without that line made current: with no trace and nothing to attend
// to, nothing would show it.
inline const Instruction* Runner::onto_line_start(ProgramLine* line, int32_t index, int32_t& code,
                                                  const Instruction& from) {
    CompiledLine& form = *line->compiled;
    Statement& first = form.statements[static_cast<size_t>(index)];
    if (first.kind == Kind::Next || first.kind == Kind::Wend) {
        const Instruction* back = first.kind == Kind::Next ? round_from(line, first, from) : wend_quickly(first);
        if (back) return back;
    }
    return enter_line(line, linked_code(code, form, index));
}

inline const Instruction* Runner::round_from(ProgramLine* line, const Statement& next, const Instruction& from) {
    ForEntry* const kept = kept_loop();
    if (!kept || kept->follow != kFollowLineEnd) return nullptr;
    ForEntry& loop = *kept;
    const Instruction& step = line->compiled->program[static_cast<size_t>(next.code)];
    if (loop.went_round != &step || step.link_offset != loop.follow) [[unlikely]] {
        if (!may_go_round({line, line->compiled.get()}, step, loop)) return nullptr;
        loop.went_round = &step;
    }
    ProgramLine* const body_line = loop.after.line->next;
    if (from.round_line != body_line) [[unlikely]] {
        from.round_link = step.round_link;
        from.round_line = body_line;
    }
    loop.came_round = &from;
    loop.came_line = line;
    return pass_to_body(loop, body_line, from.round_link);
}

inline const Instruction* Runner::round_again(const Instruction& from, const ProgramLine* line) {
    // A way that has never gone round a loop is told at once, from its own step.
    if (!from.round_line) return nullptr;
    ForEntry* const kept = kept_loop();
    if (!kept || kept->came_round != &from || kept->came_line != line) return nullptr;
    ForEntry& loop = *kept;
    ProgramLine* const body_line = loop.after.line->next;
    if (from.round_line != body_line) [[unlikely]]
        return nullptr;
    return pass_to_body(loop, body_line, from.round_link);
}

inline const Instruction* Runner::pass_to_body(ForEntry& loop, ProgramLine* body_line, int32_t code) {
    Complex value = loop.record->value;
    rules::advance(value, loop.increment, loop.type);
    if (!rules::loop_goes_on(value.re, loop.limit, loop.step)) return nullptr;
    loop.record->value = value;
    return enter_line(body_line, code);
}

inline const Instruction* Runner::go_within_line(int32_t code, int32_t offset) {
    moved_ = true;
    p_ = line_.code->body + offset;
    return program_ + code;
}

inline const Instruction* Runner::enter_line(ProgramLine* line, int32_t code_start, int32_t offset) {
    vm_.current_line = line;
    moved_ = true;
    vm_error::clear();
    // Back to the line whose tables the runner holds, as a loop over lines comes back
    // to its body: the tables stay, and the steps that read them need not wait for
    // them to be loaded again.
    if (line == line_.line) {
        p_ = line_.code->body + offset;
        return program_ + code_start;
    }
    CompiledLine* const code = line->compiled.get();
    p_ = code->body + offset;
    line_ = {line, code};
    slots_ = code->slots.data();
    program_ = code->program.data();
    return program_ + code_start;
}

inline const Instruction* Runner::next_quickly(const Instruction& step) {
    ForEntry* const kept = kept_loop();
    if (!kept) return nullptr;
    ForEntry& loop = *kept;
    // The next's link to the body was written by the loop that last went round with
    // it, which may have been another.
    if (loop.went_round != &step || step.link_offset != loop.follow) [[unlikely]] {
        if (!may_go_round(line_, step, loop)) return nullptr;
        loop.went_round = &step;
    }
    if (!goes_round(loop, *loop.record)) return end_loop(step);
    if (loop.follow >= 0) {
        vm_error::clear();
        return go_within_line(step.link, loop.follow);
    }
    return enter_line(loop.after.line->next, step.round_link);
}

// Whether next step `step` of line `at` goes round `loop` by a quick way, checked the
// first time it does, with its links made: the next names the loop's variable, and the
// body begins in that line or at the start of the line after the for's, and can be
// entered. The answer stays while the loop does and the variable store's generation
// stays its.
bool Runner::may_go_round(CurrentLine at, const Instruction& step, const ForEntry& loop) {
    CompiledLine& form = *at.code;
    Statement& statement = form.statements[static_cast<size_t>(step.index)];
    if (statement.slot >= 0 && form.slots[static_cast<size_t>(statement.slot)].record != loop.record) return false;
    if (loop.follow >= 0 && loop.after.line == at.line) {
        const int32_t first = statement_at_offset(form, loop.follow);
        if (first < 0) return false;
        step.link_offset = loop.follow;
        step.link = form.statements[static_cast<size_t>(first)].code;
        take_links_for(step, loop);
        return true;
    }
    ProgramLine* const body_line = loop.after.line->next;
    if (loop.follow != kFollowLineEnd || statement.target != loop.after.line || statement.target_start < 0 ||
        !can_enter(body_line))
        return false;
    step.round_link = linked_code(statement.target_code, *body_line->compiled, statement.target_start);
    step.link_offset = loop.follow;
    take_links_for(step, loop);
    return true;
}

// Next step `step`'s links now lead to `loop`'s body. Another loop that has gone round
// by it, further out (a bare next may end several), would find its own body there no
// more: it makes the checks again.
void Runner::take_links_for(const Instruction& step, const ForEntry& loop) {
    for (int k = 0; k < vm_.for_depth; ++k) {
        ForEntry& other = vm_.for_stack[static_cast<size_t>(k)];
        if (&other != &loop && other.went_round == &step) other.went_round = nullptr;
    }
}

inline const Instruction* Runner::end_loop(const Instruction& step) {
    vm_error::clear();
    --vm_.for_depth;
    moved_ = true;
    p_ = line_.code->body + line_.code->statements[static_cast<size_t>(step.index)].end;
    ending_ = &step;
    return &kLoopEnded;
}

// An if whose condition has the value `value`: the way to its then or else, or on
// past it, where that is known.
inline const Instruction* Runner::if_quickly(const Instruction& step, Complex value) {
    Statement& statement = line_.code->statements[static_cast<size_t>(step.index)];
    if (!rules::is_real(value)) return nullptr;
    if (!rules::is_true(value)) {
        if (statement.follow == kFollowLineEnd) {
            // False at the line's end: on to the next line.
            ProgramLine* const next = vm_.current_line->next;
            if (const Instruction* round = round_again(step, next)) return round;
            if (statement.successor < 0 || !can_enter(next)) return nullptr;
            return onto_line_start(next, statement.successor, statement.successor_code, step);
        }
        return within_line_at(statement, statement.else_offset);
    }
    if (statement.then_offset < 0) return nullptr;
    if (!statement.target) {
        if (step.link >= 0) [[likely]] {
            if (statement.evaluates) vm_error::clear();
            return go_within_line(step.link, step.link_offset);
        }
        const Instruction* then = within_line_at(statement, statement.then_offset);
        if (then) {
            step.link = static_cast<int32_t>(then - program_);
            step.link_offset = static_cast<int32_t>(p_ - line_.code->body);
        }
        return then;
    }
    if (const Instruction* round = round_again(step, statement.target)) return round;
    if (statement.target_start < 0 || !can_enter(statement.target)) return nullptr;
    return onto_line_start(statement.target, statement.target_start, statement.target_code, step);
}

// On to the statement at `offset` of this line that `from` leads to, where it is
// known.
inline const Instruction* Runner::within_line_at(const Statement& from, int32_t offset) {
    const char* const body = line_.code->body;
    const auto start = static_cast<int32_t>(skip_blanks(body + offset) - body);
    const int32_t to = statement_at_offset(*line_.code, start);
    if (to < 0) return nullptr;
    if (from.evaluates) vm_error::clear();
    return go_within_line(line_.code->statements[static_cast<size_t>(to)].code, start);
}

// A while whose condition is true, where the statement after it is known: into its body.
inline const Instruction* Runner::while_quickly(const Instruction& step, Complex value) {
    Statement& statement = line_.code->statements[static_cast<size_t>(step.index)];
    ProgramLine* const next = vm_.current_line->next;
    if (!rules::is_real(value) || !rules::is_true(value) || vm_.while_depth == kStackDepth ||
        !can_go_past_end(statement, next))
        return nullptr;
    vm_.while_stack[static_cast<size_t>(vm_.while_depth++)] = {{vm_.current_line, statement.else_offset}};
    vm_error::clear();
    return go_past_end(statement, step, next);
}

// A goto, a gosub, a return or a wend whose landing is known.
inline const Instruction* Runner::statement_quickly(const Instruction& step) {
    Statement& statement = line_.code->statements[static_cast<size_t>(step.index)];
    switch (statement.kind) {
        case Kind::Goto:
            if (const Instruction* round = round_again(step, statement.target)) return round;
            if (statement.target_start < 0 || !can_enter(statement.target)) return nullptr;
            return onto_line_start(statement.target, statement.target_start, statement.target_code, step);
        case Kind::Gosub:
            if (vm_.gosub_depth == kStackDepth || statement.target_start < 0 || !can_enter(statement.target))
                return nullptr;
            vm_.gosub_stack[static_cast<size_t>(vm_.gosub_depth++)] = {{vm_.current_line, statement.end}, statement.follow};
            return enter_line(statement.target,
                              linked_code(statement.target_code, *statement.target->compiled, statement.target_start));
        case Kind::Return: return return_quickly(statement, step);
        case Kind::Wend: return wend_quickly(statement);
        default: return nullptr;
    }
}

// A wend back to the while it went back to the first time.
inline const Instruction* Runner::wend_quickly(Statement& statement) {
    if (vm_.while_depth == 0) return nullptr;
    const TextPosition& keyword = vm_.while_stack[static_cast<size_t>(vm_.while_depth - 1)].keyword;
    if (!lands_as_before(statement, keyword.line, keyword.offset) || !can_enter(keyword.line)) return nullptr;
    --vm_.while_depth;
    return enter_line(keyword.line, linked_code(statement.target_code, *keyword.line->compiled, statement.target_start),
                      keyword.offset);
}

// A return to the place it first went back to, past the gosub's ":" or line end.
inline const Instruction* Runner::return_quickly(Statement& statement, const Instruction& step) {
    if (!vm_.is_running() || vm_.gosub_depth == 0) return nullptr;
    const GosubEntry& entry = vm_.gosub_stack[static_cast<size_t>(vm_.gosub_depth - 1)];
    if (entry.follow == kFollowLineEnd) {
        ProgramLine* const following = entry.resume.line->next;
        if (const Instruction* round = round_again(step, following)) {
            --vm_.gosub_depth;
            return round;
        }
        if (!lands_as_before(statement, following, 0) || !can_enter(following)) return nullptr;
        --vm_.gosub_depth;
        return onto_line_start(following, statement.target_start, statement.target_code, step);
    }
    if (entry.follow < 0 || !lands_as_before(statement, entry.resume.line, entry.follow) || !can_enter(entry.resume.line))
        return nullptr;
    --vm_.gosub_depth;
    ProgramLine* const line = entry.resume.line;
    return enter_line(line, linked_code(statement.target_code, *line->compiled, statement.target_start), entry.follow);
}

Runner::WayOn Runner::after_loop_step(int32_t index) {
    const Statement& statement = line_.code->statements[static_cast<size_t>(index)];
    return way_on(statement, Outcome::Done, line_.code->body, p_);
}

Runner::WayOn Runner::next_step(int32_t index) {
    const Statement& statement = line_.code->statements[static_cast<size_t>(index)];
    const char* body = line_.code->body;
    const Outcome outcome = next(statement, p_, body);
    if (outcome == Outcome::Declined) return stop(outcome);
    return way_on(statement, outcome, body, p_);
}

// A statement of one step: it runs, and the way on from it.
Runner::WayOn Runner::statement_step(int32_t index) {
    const Statement& statement = line_.code->statements[static_cast<size_t>(index)];
    const char* body = line_.code->body;
    const Outcome outcome = run(statement, p_);
    if (outcome == Outcome::Declined) return stop(outcome);
    return way_on(statement, outcome, body, p_);
}

// The way on from `statement`, which ran with `outcome` in the line of text `body`,
// with the dispatcher's steps on the way.
inline Runner::WayOn Runner::way_on(const Statement& statement, Outcome outcome, const char* body, const char*& p) {
    if (loop_body_) {
        const Statement* first = std::exchange(loop_body_, nullptr);
        return ready_for_statement() ? go(first) : stop(Outcome::Jumped);
    }
    if (jumped_from_) {
        const Statement& from = *std::exchange(jumped_from_, nullptr);
        if (!ready_for_statement()) return stop(Outcome::Jumped);
        return go(first_of_line(from, &Statement::target_start, p));
    }
    const bool at_own_end = outcome == Outcome::Done && p == body + statement.end;
    if (at_own_end && statement.follow >= 0) {
        // The usual way on: across one ":" to the next statement of the same line.
        p = body + statement.follow;
        if (!ready_for_statement()) return stop(Outcome::Jumped);
        return go(successor(statement, p));
    }
    if (at_own_end && statement.follow == kFollowLineEnd) {
        // The other usual way: from the line's end to the next line's first statement.
        if (!to_next_line(p)) return stop(Outcome::Done);
        if (!ready_for_statement()) return stop(Outcome::Jumped);
        return go(first_of_line(statement, &Statement::successor, p));
    }
    if (statement.follow == kFollowLineEnd && statement.kind == Kind::If && p == body + statement.else_offset)
        return past_false_if(statement, p);
    if (outcome == Outcome::Done && !go_past_end(statement, body, p)) return stop(Outcome::Done);
    if (!go_to_next_statement(p)) return stop(Outcome::Jumped);
    return go(statement_at(p));
}

// A false condition at the line's end: on to the next line as the dispatcher goes.
Runner::WayOn Runner::past_false_if(const Statement& statement, const char*& p) {
    if (!ready_for_statement()) return stop(Outcome::Jumped);
    p = skip_blanks(p);
    if (!vm_.current_line->next) return stop(Outcome::Jumped);
    p = vm_.jump_to_line(vm_.current_line->next);
    if (!ready_for_statement()) return stop(Outcome::Jumped);
    return go(first_of_line(statement, &Statement::successor, p));
}

}  // namespace

Outcome run_compiled(C_VMBAS& vm, const char*& p) { return Runner(vm).run_from(p); }

}  // namespace compiled
