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

// The stacks a program leaves at its End step: a value, a text, or (an assigned
// element's subscripts) one to kMaxDimensions values.
struct Results {
    int lowest_values;
    int highest_values;
    int texts;
};
constexpr Results kValue{1, 1, 0};
constexpr Results kText{0, 0, 1};
constexpr Results kSubscripts{1, kMaxDimensions, 0};

class Checker {
public:
    explicit Checker(const CompiledLine& code) : code_(code) {}

    // The program at `start` ends at an End step with `results` on the stacks.
    bool program(int32_t start, Results results) const {
        if (!inside(code_.program, start)) return false;
        int depth = 0, texts = 0;
        for (size_t at = static_cast<size_t>(start); at < code_.program.size(); ++at) {
            const Instruction& step = code_.program[at];
            if (step.step == Step::End)
                return depth >= results.lowest_values && depth <= results.highest_values && texts == results.texts;
            if (!operands_inside(step, depth, texts)) return false;
            const StackEffect effect = stack_effect(step.step, step.count, step.texts);
            depth += effect.values;
            texts += effect.texts;
            if (depth < 0 || depth > kProgramStack || texts < 0 || texts > kTextStack) return false;
            if (step.step == Step::ElementAt || step.step == Step::AddElementAt) at += step.count;
        }
        return false;
    }

private:
    bool operands_inside(const Instruction& step, int depth, int texts) const {
        switch (step.step) {
            case Step::Builtin: return inside(code_.builtins, step.index) && step.count <= depth && step.texts <= texts;
            case Step::Invoke:
            case Step::InvokeText: return inside(code_.calls, step.index) && step.count < depth && step.texts <= texts;
            case Step::Text: return inside(code_.strings, step.index);
            case Step::Argument: return step.index >= 0 && step.index < depth;
            case Step::Parameter:
            case Step::TextParameter: return step.index >= 0 && step.index < kMaxArguments;
            case Step::Variable:
            case Step::VariableIndex:
            case Step::Element:
            case Step::TextVariable:
            case Step::TextElement:
            case Step::AddVariable:
            case Step::SubtractVariable:
            case Step::MultiplyVariable:
            case Step::DivideVariable:
            case Step::AddScaledVariable:
            case Step::SubtractScaledVariable: return inside(code_.slots, step.index);
            case Step::ElementAt:
            case Step::AddElementAt: return inside(code_.slots, step.index) && offsets_follow(step);
            default:
                if (step.step >= Step::EqualVariable && step.step <= Step::GreaterEqualVariable)
                    return inside(code_.slots, step.index);
                return true;
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
    if (!optional(s.assigned, kSubscripts) || !optional(s.limit, kValue) || !optional(s.step, kValue)) return false;
    if (!optional(s.value, s.kind == Kind::AssignString ? kText : kValue)) return false;
    for (size_t k = first_call; k < code.calls.size(); ++k) {
        const CompiledCall& call = code.calls[k];
        if (!check.program(call.body, call.type == VT_STRING ? kText : kValue)) return false;
    }
    // A wend's or return's else_offset lies in the line it leads back to.
    const bool offsets_here = s.kind != Kind::If || (offset_inside(code, s.then_offset) && offset_inside(code, s.else_offset));
    return s.end >= 0 && s.end <= code.length && offsets_here && follow_inside(code, s.follow);
}

}  // namespace compiled
