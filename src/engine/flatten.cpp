// Each node becomes the steps of its operands, then its own step, so values are read
// and checked in the tree's order. Calls, built-ins and string measures are steps that
// evaluate their node, arguments and all; string comparisons stay trees in the program.
#include "engine/flatten.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "values/language_rules.h"
#include "values/user_functions.h"

namespace compiled {

Step binary_step(Op op) {
    switch (op) {
        case Op::Add: return Step::Add;
        case Op::Subtract: return Step::Subtract;
        case Op::Multiply: return Step::Multiply;
        case Op::Divide: return Step::Divide;
        case Op::Power: return Step::Power;
        case Op::Equal: return Step::Equal;
        case Op::NotEqual: return Step::NotEqual;
        case Op::Less: return Step::Less;
        case Op::LessEqual: return Step::LessEqual;
        case Op::Greater: return Step::Greater;
        case Op::GreaterEqual: return Step::GreaterEqual;
        case Op::And: return Step::And;
        case Op::Or: return Step::Or;
        case Op::Xor: return Step::Xor;
        case Op::Imp: return Step::Imp;
        case Op::Eqv: return Step::Eqv;
        default: return Step::End;
    }
}

namespace {

// Whether every subscript of element `node` is a variable plus a constant: such an
// element is one step in a program, and as an assignment's target needs no program.
bool only_offsets(const CompiledLine& code, const Node& node) {
    for (int d = 0; d < node.count; ++d)
        if (code.nodes[static_cast<size_t>(node.child[static_cast<size_t>(d)])].op != Op::VariablePlus) return false;
    return true;
}

bool is_ordering(Op op) { return op == Op::Less || op == Op::LessEqual || op == Op::Greater || op == Op::GreaterEqual; }

// The step of binary node `op` with constant `right` as its right operand, or End where
// there is none: an ordering by a complex constant fails, and does so in its tree.
Step constant_step(Op op, Complex right) {
    switch (op) {
        case Op::Add: return Step::AddConstant;
        case Op::Subtract: return Step::SubtractConstant;
        case Op::Multiply: return Step::MultiplyConstant;
        case Op::Divide: return Step::DivideConstant;
        case Op::Equal: return Step::EqualConstant;
        case Op::NotEqual: return Step::NotEqualConstant;
        default: break;
    }
    if (!rules::is_real(right)) return Step::End;
    switch (op) {
        case Op::Less: return Step::LessConstant;
        case Op::LessEqual: return Step::LessEqualConstant;
        case Op::Greater: return Step::GreaterConstant;
        case Op::GreaterEqual: return Step::GreaterEqualConstant;
        default: return Step::End;
    }
}

// Whether complex division by `divisor` comes down to two real divisions by its real
// part: it does for a real divisor other than zero and NaN.
bool divides_as_real(Complex divisor) {
    return divisor.im == 0.0 && divisor.re != 0.0 && !std::isnan(divisor.re);
}

// The same with a variable as the right operand.
Step variable_step(Op op) {
    switch (op) {
        case Op::Add: return Step::AddVariable;
        case Op::Subtract: return Step::SubtractVariable;
        case Op::Multiply: return Step::MultiplyVariable;
        case Op::Divide: return Step::DivideVariable;
        case Op::Equal: return Step::EqualVariable;
        case Op::NotEqual: return Step::NotEqualVariable;
        case Op::Less: return Step::LessVariable;
        case Op::LessEqual: return Step::LessEqualVariable;
        case Op::Greater: return Step::GreaterVariable;
        case Op::GreaterEqual: return Step::GreaterEqualVariable;
        default: return Step::End;
    }
}

bool is_sum(Op op) { return op == Op::Add || op == Op::Subtract; }

// Whether the expression at `index` becomes steps only, with no node evaluated as a
// tree: a function body that does can be written out where it is called, since no
// tree would look for its parameters in a call's frame.
bool runs_as_steps(const CompiledLine& code, int32_t index) {
    const Node& node = code.nodes[static_cast<size_t>(index)];
    int children = 2;
    switch (node.op) {
        case Op::Constant:
        case Op::Variable:
        case Op::VariablePlus:
        case Op::Err:
        case Op::Erl:
        case Op::Parameter: return true;
        case Op::Element: children = node.count; break;
        case Op::Negate:
        case Op::Not:
        case Op::Int:
        case Op::Norm: children = 1; break;
        default:
            if (binary_step(node.op) == Step::End) return false;
    }
    for (int k = 0; k < children; ++k)
        if (!runs_as_steps(code, node.child[static_cast<size_t>(k)])) return false;
    return true;
}

// A numeric call with numeric parameters whose body runs as steps.
bool can_write_out(const CompiledLine& code, const CompiledCall& call) {
    for (int k = 0; k < call.argument_count; ++k)
        if (call.function->parameter_types[static_cast<size_t>(k)] == VT_STRING) return false;
    return runs_as_steps(code, call.body);
}

class Flattener {
public:
    explicit Flattener(CompiledLine& code) : code_(code), start_(code.program.size()) {}

    // The program of the expression at node `root`.
    int32_t value(int32_t root) {
        emit(root);
        if (deepest_ > kProgramStack) {
            code_.program.resize(start_);
            push(Step::Tree, root);
        }
        return finish();
    }

    // The program that leaves the subscripts of element node `element` as indices, or
    // -1 where they need a deeper stack than programs have.
    int32_t subscripts(int32_t element) {
        const Node node = code_.nodes[static_cast<size_t>(element)];
        for (int d = 0; d < node.count; ++d) emit_subscript(node.child[static_cast<size_t>(d)]);
        if (deepest_ > kProgramStack) {
            code_.program.resize(start_);
            return -1;
        }
        return finish();
    }

private:
    int32_t finish() {
        push(Step::End);
        return static_cast<int32_t>(start_);
    }

    // A step, whose effect on the stack its entry in the list of steps gives.
    void push(Step step, int32_t index = -1, Complex value = {}, uint8_t count = 0) {
        append(step, index, value, count);
        depth_ += stack_effect(step, count);
        deepest_ = std::max(deepest_, depth_);
    }

    // A subscript that the element step before it reads itself: no stack is involved.
    void operand(int32_t index, Complex value) { append(Step::VariableIndex, index, value, 0); }

    void append(Step step, int32_t index, Complex value, uint8_t count) {
        Instruction instruction;
        instruction.step = step;
        instruction.count = count;
        instruction.index = index;
        instruction.value = value;
        code_.program.push_back(instruction);
    }

    // An operator or built-in of one operand, which it replaces on the stack.
    void unary(const Node& node, Step step) {
        emit(node.child[0]);
        push(step);
    }

    void emit(int32_t index) {
        const Node node = code_.nodes[static_cast<size_t>(index)];
        switch (node.op) {
            case Op::Constant: push(Step::Constant, -1, node.value); break;
            case Op::Variable: push(Step::Variable, node.index); break;
            case Op::Err: push(Step::Err); break;
            case Op::Erl: push(Step::Erl); break;
            case Op::Parameter:
                if (frame_slot_ >= 0)
                    push(Step::Argument, frame_slot_ + node.index);
                else
                    push(Step::Parameter, node.index);
                break;
            case Op::Element: emit_element(node); break;
            case Op::Call:
                if (can_write_out(code_, code_.calls[static_cast<size_t>(node.index)]))
                    emit_call(code_.calls[static_cast<size_t>(node.index)]);
                else
                    push(Step::Call, index);
                break;
            case Op::Builtin: push(Step::Builtin, index); break;
            case Op::Len:
            case Op::Instr:
            case Op::Asc: push(Step::Measure, index); break;
            case Op::Negate: unary(node, Step::Negate); break;
            case Op::Not: unary(node, Step::Not); break;
            case Op::Int: unary(node, Step::Int); break;
            case Op::Norm: unary(node, Step::Norm); break;
            default:
                if (binary_step(node.op) == Step::End) {
                    push(Step::Tree, index);  // normalized by the tree itself
                    return;
                }
                if (const Node* division = remainder_division(node)) {
                    const Complex divisor = code_.nodes[static_cast<size_t>(division->child[1])].value;
                    emit(node.child[0]);
                    push(Step::RemainderReal, -1, divisor, division->normalize ? 1 : 0);
                    break;
                }
                emit(node.child[0]);
                emit_right_operand(node);
        }
        if (node.normalize && !is_sum(node.op)) push(Step::Normalize);
    }

    // The steps of `call` in place of the call, in the order it evaluates: arguments,
    // body, the variables the arguments made dropped again.
    void emit_call(const CompiledCall& call) {
        const int mark_slot = depth_;
        push(Step::CallBegin);
        for (int k = 0; k < call.argument_count; ++k) {
            emit(call.arguments[static_cast<size_t>(k)]);
            if (rules::parameter_is_whole(call.function->parameter_types[static_cast<size_t>(k)], call.type)) push(Step::Whole);
        }
        const int caller_slot = std::exchange(frame_slot_, mark_slot + 1);
        emit(call.body);
        frame_slot_ = caller_slot;
        if (stores_whole_numbers(call.type)) push(Step::Whole);
        push(Step::CallEnd, -1, {}, static_cast<uint8_t>(call.argument_count));
    }

    // The division where `node` is x - int(x / c) * c, x a variable and c a real
    // constant that DivideReal takes, with an imaginary part of +0; null otherwise. No
    // part of it makes a zero +0 apart from the division and the subtraction.
    const Node* remainder_division(const Node& node) const {
        const auto at = [&](int32_t index) -> const Node& { return code_.nodes[static_cast<size_t>(index)]; };
        const auto plain = [&](const Node& part, Op op) { return part.op == op && !part.normalize; };
        if (node.op != Op::Subtract) return nullptr;
        const Node& x = at(node.child[0]);
        const Node& product = at(node.child[1]);
        if (!plain(x, Op::Variable) || !plain(product, Op::Multiply)) return nullptr;
        const Node& whole = at(product.child[0]);
        const Node& factor = at(product.child[1]);
        if (!plain(whole, Op::Int) || factor.op != Op::Constant) return nullptr;
        const Node& quotient = at(whole.child[0]);
        if (quotient.op != Op::Divide) return nullptr;
        const Node& dividend = at(quotient.child[0]);
        const Node& divisor = at(quotient.child[1]);
        if (!plain(dividend, Op::Variable) || dividend.index != x.index || divisor.op != Op::Constant) return nullptr;
        const bool same_constant = std::memcmp(&divisor.value, &factor.value, sizeof(Complex)) == 0;
        const bool real = divides_as_real(divisor.value) && !std::signbit(divisor.value.im);
        return same_constant && real ? &quotient : nullptr;
    }

    // Where `node` adds or subtracts `right`, a variable times a constant: pushes
    // AddScaledVariable or SubtractScaledVariable for both, and says so.
    bool push_scaled_variable(const Node& node, const Node& right) {
        if ((node.op != Op::Add && node.op != Op::Subtract) || right.op != Op::Multiply || right.normalize) return false;
        const Node& variable = code_.nodes[static_cast<size_t>(right.child[0])];
        const Node& factor = code_.nodes[static_cast<size_t>(right.child[1])];
        if (variable.op != Op::Variable || variable.normalize || factor.op != Op::Constant) return false;
        push(node.op == Op::Add ? Step::AddScaledVariable : Step::SubtractScaledVariable, variable.index, factor.value);
        return true;
    }

    void emit_right_operand(const Node& node) {
        const Node& right = code_.nodes[static_cast<size_t>(node.child[1])];
        if (right.op == Op::Constant && node.op == Op::Divide && divides_as_real(right.value)) {
            push(Step::DivideReal, -1, right.value);
            return;
        }
        if (right.op == Op::Constant && constant_step(node.op, right.value) != Step::End) {
            push(constant_step(node.op, right.value), -1, right.value);
            return;
        }
        if (right.op == Op::Variable && !right.normalize && variable_step(node.op) != Step::End) {
            push(variable_step(node.op), right.index);
            return;
        }
        if (push_scaled_variable(node, right)) return;
        if (right.op == Op::Element && node.op == Op::Add && !right.normalize && only_offsets(code_, right)) {
            emit_element(right, Step::AddElementAt);
            return;
        }
        if (is_ordering(node.op)) push(Step::Real);
        emit(node.child[1]);
        push(binary_step(node.op));
    }

    // An element; `at_step` is the step of one whose subscripts are all offsets:
    // ElementAt, or AddElementAt, which adds it to the value on top.
    void emit_element(const Node& node, Step at_step = Step::ElementAt) {
        const bool at = only_offsets(code_, node);
        if (!at) {
            for (int d = 0; d < node.count; ++d) emit_subscript(node.child[static_cast<size_t>(d)]);
            push(Step::Element, node.index, {}, node.count);
            return;
        }
        push(at_step, node.index, {}, node.count);
        for (int d = 0; d < node.count; ++d) {
            const Node& offset = code_.nodes[static_cast<size_t>(node.child[static_cast<size_t>(d)])];
            operand(offset.index, offset.value);
        }
    }

    void emit_subscript(int32_t index) {
        const Node node = code_.nodes[static_cast<size_t>(index)];
        if (node.op == Op::VariablePlus) {
            push(Step::VariableIndex, node.index, node.value);
            return;
        }
        emit(index);
        push(Step::Index);
    }

    CompiledLine& code_;
    size_t start_;
    int depth_ = 0;
    int deepest_ = 0;
    int frame_slot_ = -1;  // the stack slot of the first argument of a body written out
};

// Whether the program at `start` is a variable, an element, or a len, instr or asc,
// compared with a constant or a variable, and nothing more.
bool only_compares(const CompiledLine& code, int32_t start) {
    const Instruction* step = &code.program[static_cast<size_t>(start)];
    if (step->step == Step::ElementAt) {
        step += step->count;
    } else if (step->step != Step::Variable && step->step != Step::Measure) {
        return false;
    }
    ++step;
    // The comparisons with a constant, and those with a variable, each lie together.
    const bool compares = (step->step >= Step::EqualConstant && step->step <= Step::GreaterEqualConstant) ||
                          (step->step >= Step::EqualVariable && step->step <= Step::GreaterEqualVariable);
    return compares && step[1].step == Step::End;
}

}  // namespace

void flatten(CompiledLine& code, Statement& statement) {
    if (statement.kind != Kind::AssignNumber && statement.kind != Kind::If && statement.kind != Kind::While) return;
    if (statement.assigned >= 0 && !only_offsets(code, code.nodes[static_cast<size_t>(statement.assigned)]))
        statement.subscripts = Flattener(code).subscripts(statement.assigned);
    const Op root = code.nodes[static_cast<size_t>(statement.value)].op;
    if (root != Op::Constant && root != Op::Variable) {
        statement.value_program = Flattener(code).value(statement.value);
        statement.compares = only_compares(code, statement.value_program);
    }
}

void flatten_calls(CompiledLine& code, size_t first) {
    for (size_t k = first; k < code.calls.size(); ++k) {
        CompiledCall& call = code.calls[k];
        if (call.type != VT_STRING) call.body_program = Flattener(code).value(call.body);
    }
}

}  // namespace compiled
