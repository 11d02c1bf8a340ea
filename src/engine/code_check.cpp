// Each check walks what the statement names the way the runner will, so that the
// stack depths it finds are the ones the runner's fixed stack must hold.
#include "engine/code_check.h"

#include "values/variables.h"

namespace compiled {

namespace {

bool inside(const auto& array, int32_t index) {
    return index >= 0 && static_cast<size_t>(index) < array.size();
}

bool optional_inside(const auto& array, int32_t index) { return index == -1 || inside(array, index); }

// The stacks a program leaves at its last step: a value or a text at an End step,
// nothing where a statement's code goes on to the next statement.
struct Results {
    int values;
    int texts;
};
constexpr Results kValue{1, 0};
constexpr Results kText{0, 1};
constexpr Results kNothing{0, 0};

// The step that ends a statement's code: its way on, which an if and a while take with
// their condition's value on the stack.
Step last_step(Kind kind) {
    switch (kind) {
        case Kind::AssignNumber:
        case Kind::AssignString: return Step::Follow;
        case Kind::Next: return Step::Next;
        case Kind::If: return Step::If;
        case Kind::While: return Step::While;
        default: return Step::Statement;
    }
}

class Checker {
public:
    explicit Checker(const CompiledLine& code) : code_(code) {}

    // The program at `start` ends at an End step with `results` on the stacks.
    bool program(int32_t start, Results results) const { return steps(start, Step::End, -1, results); }

    // The code of statement `index`, of kind `kind`, at `start` ends in the step that
    // goes on from it, with nothing left on the stacks but an if's or a while's condition.
    bool statement_code(int32_t start, int32_t index, Kind kind) const {
        const Step last = last_step(kind);
        return steps(start, last, index, last == Step::If || last == Step::While ? kValue : kNothing);
    }

private:
    // The steps from `start` up to the first that ends a program or a statement, which
    // must be `last`, with operand `index` unless that is -1.
    bool steps(int32_t start, Step last, int32_t index, Results results) const {
        if (!inside(code_.program, start)) return false;
        int depth = 0, texts = 0;
        for (size_t at = static_cast<size_t>(start); at < code_.program.size(); ++at) {
            const Instruction& step = code_.program[at];
            if (step.step == Step::End || ends_statement(step.step)) {
                const bool named = index == -1 || step.index == index;
                return step.step == last && named && depth == results.values && texts == results.texts;
            }
            if (!operands_inside(step, depth, texts)) return false;
            const StackEffect effect = stack_effect(step.step, step.count, step.texts);
            depth += effect.values;
            texts += effect.texts;
            if (depth < 0 || depth > kProgramStack || texts < 0 || texts > kTextStack) return false;
            if (step.step == Step::ElementAt || step.step == Step::AddElementAt || step.step == Step::TargetElementAt)
                at += step.count;
        }
        return false;
    }

    bool operands_inside(const Instruction& step, int depth, int texts) const {
        switch (step.step) {
            case Step::Builtin: return inside(code_.builtins, step.index) && step.count <= depth && step.texts <= texts;
            case Step::Invoke:
            case Step::InvokeText: return inside(code_.calls, step.index) && step.count < depth && step.texts <= texts;
            case Step::Text: return inside(code_.strings, step.index);
            case Step::Argument: return step.index >= 0 && step.index < depth;
            case Step::Parameter:
            case Step::TextParameter: return step.index >= 0 && step.index < kMaxArguments;
            case Step::ElementAt:
            case Step::AddElementAt:
            case Step::TargetElementAt: return inside(code_.slots, step.index) && offsets_follow(step);
            case Step::UsualWay:
            case Step::LoopEnded:
            case Step::Stop:
            case Step::Refuse: return false;  // the loop's own, never compiled
            default: return !names_slot(step.step) || inside(code_.slots, step.index);
        }
    }

    // The `count` subscripts an element step reads from the steps after it.
    bool offsets_follow(const Instruction& step) const {
        const size_t first = static_cast<size_t>(&step - code_.program.data()) + 1;
        if (step.count == 0 || first + step.count > code_.program.size()) return false;
        for (size_t k = first; k < first + step.count; ++k)
            if (code_.program[k].step != Step::VariableIndex || !inside(code_.slots, code_.program[k].index)) return false;
        return true;
    }

    const CompiledLine& code_;
};

bool offset_inside(const CompiledLine& code, int32_t offset) {
    return offset == -1 || (offset >= 0 && offset <= code.length);
}

bool follow_inside(const CompiledLine& code, int32_t follow) {
    return follow == kFollowUnknown || follow == kFollowLineEnd || (follow >= 0 && follow < code.length);
}

}  // namespace

bool well_formed(const CompiledLine& code, int32_t index, size_t first_call) {
    if (index < 0) return true;
    if (!inside(code.statements, index)) return false;
    const Statement& s = code.statements[static_cast<size_t>(index)];
    const Checker check(code);
    const auto optional = [&](int32_t program, Results results) { return program == -1 || check.program(program, results); };
    if (!optional_inside(code.slots, s.slot)) return false;
    if (!check.statement_code(s.code, index, s.kind)) return false;
    if (!optional(s.value, kValue) || !optional(s.limit, kValue) || !optional(s.step, kValue)) return false;
    for (size_t k = first_call; k < code.calls.size(); ++k) {
        const CompiledCall& call = code.calls[k];
        if (!check.program(call.body, call.type == VT_STRING ? kText : kValue)) return false;
    }
    // A wend's or return's else_offset lies in the line it leads back to.
    const bool offsets_here = s.kind != Kind::If || (offset_inside(code, s.then_offset) && offset_inside(code, s.else_offset));
    return s.end >= 0 && s.end <= code.length && offsets_here && follow_inside(code, s.follow);
}

}  // namespace compiled
