// Each check walks what the statement names the way the runner will, so that the
// stack depths it finds are the ones the runner's fixed stack must hold.
#include "engine/code_check.h"

namespace compiled {

namespace {

bool inside(const auto& array, int32_t index) {
    return index >= 0 && static_cast<size_t>(index) < array.size();
}

bool optional_inside(const auto& array, int32_t index) { return index == -1 || inside(array, index); }

class Checker {
public:
    explicit Checker(const CompiledLine& code) : code_(code) {}

    bool node(int32_t index, int depth = 0) const {
        if (!inside(code_.nodes, index) || depth > static_cast<int>(code_.nodes.size())) return false;
        const Node& n = code_.nodes[static_cast<size_t>(index)];
        if (!names_inside(n)) return false;
        for (int32_t child : n.child)
            if (child != -1 && !node(child, depth + 1)) return false;
        return true;
    }

    // The program at `start` ends at an End step with `results` values on the stack.
    bool program(int32_t start, int results) const {
        int depth = 0;
        for (size_t at = static_cast<size_t>(start); at < code_.program.size(); ++at) {
            const Instruction& step = code_.program[at];
            if (step.step == Step::End) return depth == results;
            if (!operands_inside(step, depth)) return false;
            depth += stack_effect(step.step, step.count);
            if (depth < 0 || depth > kProgramStack) return false;
            if (step.step == Step::ElementAt || step.step == Step::AddElementAt) at += step.count;
        }
        return false;
    }

private:
    bool names_inside(const Node& n) const {
        switch (n.op) {
            case Op::Variable:
            case Op::Element:
            case Op::VariablePlus:
            case Op::StringVariable:
            case Op::StringElement: return inside(code_.slots, n.index);
            case Op::StringConstant: return inside(code_.strings, n.index);
            case Op::Builtin: return inside(code_.builtins, n.index);
            case Op::Call:
            case Op::StringCall: return inside(code_.calls, n.index);
            default: return n.count <= n.child.size();
        }
    }

    bool operands_inside(const Instruction& step, int depth) const {
        switch (step.step) {
            case Step::Tree:
            case Step::Call:
            case Step::Builtin:
            case Step::Measure: return node(step.index);
            case Step::Argument: return step.index >= 0 && step.index < depth;
            case Step::Parameter: return step.index >= 0 && step.index < kMaxArguments;
            case Step::Variable:
            case Step::VariableIndex:
            case Step::Element:
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
    for (int32_t tree : {s.assigned, s.value, s.limit, s.step})
        if (tree != -1 && !check.node(tree)) return false;
    if (!optional_inside(code.slots, s.slot)) return false;
    if (s.value_program != -1 && !check.program(s.value_program, 1)) return false;
    if (s.subscripts != -1 && !check.program(s.subscripts, code.nodes[static_cast<size_t>(s.assigned)].count))
        return false;
    for (size_t k = first_call; k < code.calls.size(); ++k) {
        const CompiledCall& call = code.calls[k];
        if (!check.node(call.body) || (call.body_program != -1 && !check.program(call.body_program, 1))) return false;
    }
    // A wend's or return's else_offset lies in the line it leads back to.
    const bool offsets_here = s.kind != Kind::If || (offset_inside(code, s.then_offset) && offset_inside(code, s.else_offset));
    return s.end >= 0 && s.end <= code.length && offsets_here && follow_inside(code, s.follow);
}

}  // namespace compiled
