// Each node becomes the steps of its operands, then its own step, so values are read
// and checked in the order the text interpreter reads and checks them. Numbers go on
// the stack of values, strings on the stack of texts.
#include "engine/flatten.h"

#include <algorithm>
#include <cstddef>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "values/builtin_functions.h"
#include "values/language_rules.h"
#include "values/user_functions.h"

namespace compiled {

namespace {

// The step of a binary operator node; End for any other node.
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

// The step of a node that takes one string and one or two whole numbers to a string,
// or gives a string one or two whole numbers; End for any other.
Step string_step(Op op) {
    switch (op) {
        case Op::Left: return Step::Left;
        case Op::Right: return Step::Right;
        case Op::Mid: return Step::Mid;
        case Op::Chr: return Step::Chr;
        case Op::Space: return Step::Space;
        case Op::StringOf: return Step::StringOf;
        default: return Step::End;
    }
}

// Whether every subscript of element `node` is a variable plus a constant: such an
// element is one step in a program, and as an assignment's target needs no program.
bool only_offsets(const Trees& trees, const Node& node) {
    for (int d = 0; d < node.count; ++d)
        if (trees.at(node.child[static_cast<size_t>(d)]).op != Op::VariablePlus) return false;
    return true;
}

bool is_ordering(Op op) { return op == Op::Less || op == Op::LessEqual || op == Op::Greater || op == Op::GreaterEqual; }

// The step of binary node `op` with constant `right` as its right operand, or End where
// there is none: an ordering by a complex constant fails, and does so in its own step.
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

// The comparison of texts that string comparison node `op` makes: the two groups lie
// in the same order.
Step text_comparison_step(Op op) {
    static_assert(static_cast<int>(Op::StringGreaterEqual) - static_cast<int>(Op::StringEqual) ==
                  static_cast<int>(Step::TextGreaterEqual) - static_cast<int>(Step::TextEqual));
    return static_cast<Step>(static_cast<int>(Step::TextEqual) + static_cast<int>(op) - static_cast<int>(Op::StringEqual));
}

// A numeric call with numeric parameters is written out where it is called: its
// parameters are then the arguments on the program's own stack.
bool can_write_out(const TreeCall& call) {
    if (call.type == VT_STRING) return false;
    for (int k = 0; k < call.argument_count; ++k)
        if (call.function->parameter_types[static_cast<size_t>(k)] == VT_STRING) return false;
    return true;
}

// What the programs of one statement share: the line's array, the trees, and the
// calls whose bodies are still to be flattened, after the program that calls them.
struct Flattening {
    CompiledLine& code;
    const Trees& trees;
    std::vector<std::pair<int32_t, const TreeCall*>> bodies;  // a call of `code.calls`, its tree
};

class Flattener {
public:
    explicit Flattener(Flattening& work) : work_(work), code_(work.code), trees_(work.trees), start_(code_.program.size()) {}

    // The program that leaves the value of numeric expression `root`, or -1 where it
    // needs deeper stacks than programs have.
    int32_t value(int32_t root) {
        emit(root);
        return finish();
    }

    // The same for string expression `root`, which leaves a text.
    int32_t text(int32_t root) {
        emit_text(root);
        return finish();
    }

    // The code of assignment `statement`, statement `index` of the line: the steps
    // that find its target, those of its value, the store, and the way on.
    int32_t assignment(const Roots& roots, const Statement& statement, int32_t index) {
        const bool element = roots.assigned >= 0;
        if (element) emit_element(trees_.at(roots.assigned), Step::TargetElementAt, Step::TargetElement);
        const size_t value_start = code_.program.size();
        if (statement.kind == Kind::AssignString) {
            // s$ = s$ + …: only what is appended is evaluated.
            emit_text(statement.appends ? trees_.at(roots.value).child[1] : roots.value);
        } else {
            emit(roots.value);
        }
        if (!element && !reads_first(value_start, statement.slot)) {
            // The target is found before the value is read, and made first if it is new.
            Instruction target;
            target.step = Step::Target;
            target.index = statement.slot;
            code_.program.insert(code_.program.begin() + static_cast<ptrdiff_t>(value_start), target);
        }
        if (!(element && copies_into_element(value_start, statement)))
            push(store_step(statement, element), element ? -1 : statement.slot);
        // The follow knows whether its statement evaluates: its quick way needs no record.
        return finish(Step::Follow, index, statement.evaluates ? 1 : 0);
    }

    // The code of an if or a while, statement `index` of the line: the steps of its
    // condition, then `step`, which takes the condition's value.
    int32_t condition(int32_t root, Step step, int32_t index) {
        emit(root);
        return finish(step, index);
    }

private:
    int32_t finish(Step last = Step::End, int32_t index = -1, uint8_t count = 0) {
        push(last, index, {}, count);
        if (deepest_ > kProgramStack || deepest_texts_ > kTextStack) {
            code_.program.resize(start_);
            return -1;
        }
        return static_cast<int32_t>(start_);
    }

    // Whether the first variable that the steps from `start` read is `slot`.
    bool reads_first(size_t start, int32_t slot) const {
        for (size_t at = start; at < code_.program.size(); ++at) {
            const Instruction& step = code_.program[at];
            if (names_slot(step.step)) return step.index == slot && (step.step == Step::Variable || step.step == Step::TextVariable);
        }
        return false;
    }

    // An element given a variable's value or a constant: the one step that read it
    // becomes the store, as a loop that fills an array runs it at every pass.
    bool copies_into_element(size_t value_start, const Statement& statement) {
        if (statement.kind != Kind::AssignNumber || code_.program.size() != value_start + 1) return false;
        Instruction& source = code_.program.back();
        if (source.step == Step::Variable) {
            source.step = Step::StoreElementVariable;
            source.count = statement.whole ? 1 : 0;
        } else if (source.step == Step::Constant) {
            source.step = Step::StoreElementConstant;
            if (statement.whole) source.value = coerce_to_type(source.value, VT_INTEGER);
        } else {
            return false;
        }
        --depth_;
        return true;
    }

    static Step store_step(const Statement& statement, bool element) {
        if (statement.kind == Kind::AssignString) {
            if (element) return Step::StoreTextElement;
            return statement.appends ? Step::AppendText : Step::StoreText;
        }
        if (element) return statement.whole ? Step::StoreWholeElement : Step::StoreElement;
        return statement.whole ? Step::StoreWhole : Step::Store;
    }

    // A step, whose effect on the stacks its entry in the list of steps gives.
    void push(Step step, int32_t index = -1, Complex value = {}, uint8_t count = 0, uint8_t texts = 0) {
        append(step, index, value, count, texts);
        const StackEffect effect = stack_effect(step, count, texts);
        depth_ += effect.values;
        texts_ += effect.texts;
        deepest_ = std::max(deepest_, depth_);
        deepest_texts_ = std::max(deepest_texts_, texts_);
    }

    // A subscript that the element step before it reads itself: no stack is involved.
    void operand(int32_t index, Complex value) { append(Step::VariableIndex, index, value, 0, 0); }

    void append(Step step, int32_t index, Complex value, uint8_t count, uint8_t texts) {
        Instruction instruction;
        instruction.step = step;
        instruction.count = count;
        instruction.texts = texts;
        instruction.index = index;
        instruction.value = value;
        code_.program.push_back(instruction);
    }

    // An operator or built-in of one operand, which it replaces on the stack.
    void unary(const Node& node, Step step) {
        emit(node.child[0]);
        push(step);
    }

    // A step on the texts of the node's first `count` children.
    void on_texts(const Node& node, int count, Step step) {
        for (int k = 0; k < count; ++k) emit_text(node.child[static_cast<size_t>(k)]);
        push(step);
    }

    // Numeric expression `index`; `sign_seen` false where what takes the value sees no
    // zero's sign (a whole number, a subscript), so a sum's zero need not be made +0.
    void emit(int32_t index, bool sign_seen = true) {
        const Node node = trees_.at(index);
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
            case Op::Call: emit_call(trees_.calls[static_cast<size_t>(node.index)], Step::Invoke); break;
            case Op::Builtin: emit_builtin(node); break;
            case Op::Len: on_texts(node, 1, Step::Len); break;
            case Op::Asc: on_texts(node, 1, Step::Asc); break;
            case Op::Instr: on_texts(node, 2, Step::Instr); break;
            case Op::StringEqual:
            case Op::StringNotEqual:
            case Op::StringLess:
            case Op::StringLessEqual:
            case Op::StringGreater:
            case Op::StringGreaterEqual: on_texts(node, 2, text_comparison_step(node.op)); break;
            case Op::Negate: unary(node, Step::Negate); break;
            case Op::Not: unary(node, Step::Not); break;
            case Op::Int: unary(node, Step::Int); break;
            case Op::Norm: unary(node, Step::Norm); break;
            default:
                if (const Node* division = remainder_division(node)) {
                    const Complex divisor = trees_.at(division->child[1]).value;
                    emit(node.child[0]);
                    push(Step::RemainderReal, -1, divisor, division->normalize ? 1 : 0);
                    break;
                }
                emit(node.child[0]);
                emit_right_operand(node);
        }
        if (sign_seen && node.normalize && !is_sum(node.op)) push(Step::Normalize);
    }

    void emit_text(int32_t index) {
        const Node& node = trees_.at(index);
        switch (node.op) {
            case Op::StringConstant: push(Step::Text, node.index); return;
            case Op::StringVariable: push(Step::TextVariable, node.index); return;
            case Op::StringParameter: push(Step::TextParameter, node.index); return;
            case Op::StringElement:
                for (int d = 0; d < node.count; ++d) emit_subscript(node.child[static_cast<size_t>(d)]);
                push(Step::TextElement, node.index, {}, node.count);
                return;
            case Op::StringCall: emit_call(trees_.calls[static_cast<size_t>(node.index)], Step::InvokeText); return;
            case Op::Concat: on_texts(node, 2, Step::Concat); return;
            case Op::Str:
                emit(node.child[0]);
                push(Step::Str);
                return;
            default: break;
        }
        // left$, right$ and mid$ take their string first; all of them whole numbers.
        const Step step = string_step(node.op);
        int first_number = 0;
        if (step == Step::Left || step == Step::Right || step == Step::Mid) {
            emit_text(node.child[0]);
            first_number = 1;
        }
        for (int k = first_number; k < node.count; ++k) whole_argument(node.child[static_cast<size_t>(k)]);
        push(step);
    }

    // A whole-number argument, checked where it is read, or with `check` Real a real
    // one, whose zero keeps its sign; a constant that passes the check needs none at
    // run time.
    void whole_argument(int32_t index, Step check = Step::WholeArgument) {
        const Node& node = trees_.at(index);
        emit(index, check == Step::Real);
        if (node.op == Op::Constant && passes(check, node.value)) return;
        push(check);
    }

    static bool passes(Step check, Complex value) {
        return check == Step::Real ? rules::is_real(value) : rules::int32_argument_error(value).empty();
    }

    // A pure built-in: each argument read and checked by its format, in order, then
    // the function of them all.
    void emit_builtin(const Node& node) {
        const BuiltinFunction& function = *code_.builtins[static_cast<size_t>(node.index)];
        uint8_t numbers = 0, texts = 0;
        for (size_t k = 0; k < function.format.size(); ++k) {
            const int32_t argument = node.child[k];
            switch (function.format[k]) {
                case 'c': emit(argument); break;
                case 'd': whole_argument(argument, Step::Real); break;
                case 'l': whole_argument(argument); break;
                default:
                    emit_text(argument);
                    ++texts;
                    continue;
            }
            ++numbers;
        }
        push(Step::Builtin, node.index, {}, numbers, texts);
    }

    // A def fn call, in the order the text interpreter makes it: the variable store's
    // mark, the arguments (each made whole where the call wants integers), the body,
    // the variables the arguments made dropped again. A numeric call with numeric
    // parameters is written out here; any other runs its body's own program, `invoke`.
    void emit_call(const TreeCall& call, Step invoke) {
        const int mark_slot = depth_;
        push(Step::CallBegin);
        uint8_t numbers = 0, texts = 0;
        for (int k = 0; k < call.argument_count; ++k) {
            const int32_t argument = call.arguments[static_cast<size_t>(k)];
            const int type = call.function->parameter_types[static_cast<size_t>(k)];
            if (type == VT_STRING) {
                emit_text(argument);
                ++texts;
                continue;
            }
            emit(argument);
            if (rules::parameter_is_whole(type, call.type)) push(Step::Whole);
            ++numbers;
        }
        if (!can_write_out(call)) {
            code_.calls.push_back({call.function, call.type, call.argument_count, -1});
            const auto index = static_cast<int32_t>(code_.calls.size() - 1);
            work_.bodies.emplace_back(index, &call);
            push(invoke, index, {}, numbers, texts);
            return;
        }
        const int caller_slot = std::exchange(frame_slot_, mark_slot + 1);
        emit(call.body);
        frame_slot_ = caller_slot;
        if (stores_whole_numbers(call.type)) push(Step::Whole);
        push(Step::CallEnd, -1, {}, numbers);
    }

    // The division where `node` is x - int(x / c) * c, x a variable and c a real
    // constant that DivideReal takes, with an imaginary part of +0; null otherwise. No
    // part of it makes a zero +0 apart from the division and the subtraction.
    const Node* remainder_division(const Node& node) const {
        const auto plain = [&](const Node& part, Op op) { return part.op == op && !part.normalize; };
        if (node.op != Op::Subtract) return nullptr;
        const Node& x = trees_.at(node.child[0]);
        const Node& product = trees_.at(node.child[1]);
        if (!plain(x, Op::Variable) || !plain(product, Op::Multiply)) return nullptr;
        const Node& whole = trees_.at(product.child[0]);
        const Node& factor = trees_.at(product.child[1]);
        if (!plain(whole, Op::Int) || factor.op != Op::Constant) return nullptr;
        const Node& quotient = trees_.at(whole.child[0]);
        if (quotient.op != Op::Divide) return nullptr;
        const Node& dividend = trees_.at(quotient.child[0]);
        const Node& divisor = trees_.at(quotient.child[1]);
        if (!plain(dividend, Op::Variable) || dividend.index != x.index || divisor.op != Op::Constant) return nullptr;
        const bool same_constant = std::memcmp(&divisor.value, &factor.value, sizeof(Complex)) == 0;
        const bool real = divides_as_real(divisor.value) && !std::signbit(divisor.value.im);
        return same_constant && real ? &quotient : nullptr;
    }

    // Where `node` adds or subtracts `right`, a variable times a constant: pushes
    // AddScaledVariable or SubtractScaledVariable for both, and says so.
    bool push_scaled_variable(const Node& node, const Node& right) {
        if ((node.op != Op::Add && node.op != Op::Subtract) || right.op != Op::Multiply || right.normalize) return false;
        const Node& variable = trees_.at(right.child[0]);
        const Node& factor = trees_.at(right.child[1]);
        if (variable.op != Op::Variable || variable.normalize || factor.op != Op::Constant) return false;
        push(node.op == Op::Add ? Step::AddScaledVariable : Step::SubtractScaledVariable, variable.index, factor.value);
        return true;
    }

    void emit_right_operand(const Node& node) {
        const Node& right = trees_.at(node.child[1]);
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
        if (right.op == Op::Element && node.op == Op::Add && !right.normalize && only_offsets(trees_, right)) {
            emit_element(right, Step::AddElementAt);
            return;
        }
        if (is_ordering(node.op)) push(Step::Real);
        emit(node.child[1]);
        push(binary_step(node.op));
    }

    // An element; `at_step` is the step of one whose subscripts are all offsets
    // (ElementAt; AddElementAt, which adds it to the value on top; TargetElementAt),
    // `indexed` that of one whose subscripts the steps before it leave.
    void emit_element(const Node& node, Step at_step = Step::ElementAt, Step indexed = Step::Element) {
        if (!only_offsets(trees_, node)) {
            for (int d = 0; d < node.count; ++d) emit_subscript(node.child[static_cast<size_t>(d)]);
            push(indexed, node.index, {}, node.count);
            return;
        }
        push(at_step, node.index, {}, node.count);
        for (int d = 0; d < node.count; ++d) {
            const Node& offset = trees_.at(node.child[static_cast<size_t>(d)]);
            operand(offset.index, offset.value);
        }
    }

    void emit_subscript(int32_t index) {
        const Node& node = trees_.at(index);
        if (node.op == Op::VariablePlus) {
            push(Step::VariableIndex, node.index, node.value);
            return;
        }
        emit(index, false);
        push(Step::Index);
    }

    Flattening& work_;
    CompiledLine& code_;
    const Trees& trees_;
    size_t start_;
    int depth_ = 0;
    int deepest_ = 0;
    int texts_ = 0;
    int deepest_texts_ = 0;
    int frame_slot_ = -1;  // the stack slot of the first argument of a body written out
};

// The programs of the statement's own expressions, and its code; false where one
// cannot be made.
bool flatten_statement(Flattening& work, const Roots& roots, Statement& statement, int32_t index) {
    const auto value = [&](int32_t root, int32_t& program) {
        return root < 0 || (program = Flattener(work).value(root)) >= 0;
    };
    switch (statement.kind) {
        case Kind::AssignNumber:
        case Kind::AssignString: return (statement.code = Flattener(work).assignment(roots, statement, index)) >= 0;
        case Kind::For:
            if (!value(roots.value, statement.value) || !value(roots.limit, statement.limit) ||
                !value(roots.step, statement.step))
                return false;
            break;
        case Kind::If:
        case Kind::While: {
            const Step step = statement.kind == Kind::If ? Step::If : Step::While;
            return (statement.code = Flattener(work).condition(roots.value, step, index)) >= 0;
        }
        default: break;
    }
    Instruction step;
    step.step = statement.kind == Kind::Next ? Step::Next : Step::Statement;
    step.index = index;
    statement.code = static_cast<int32_t>(work.code.program.size());
    work.code.program.push_back(step);
    return true;
}

// The bodies of the calls the programs invoke, each after the program that calls it.
bool flatten_bodies(Flattening& work) {
    for (size_t k = 0; k < work.bodies.size(); ++k) {
        const auto [index, call] = work.bodies[k];
        const int32_t body = call->type == VT_STRING ? Flattener(work).text(call->body) : Flattener(work).value(call->body);
        if (body < 0) return false;
        work.code.calls[static_cast<size_t>(index)].body = body;
    }
    return true;
}

}  // namespace

bool flatten(CompiledLine& code, const Trees& trees, const Roots& roots, Statement& statement, int32_t index) {
    const size_t first_step = code.program.size();
    const size_t first_call = code.calls.size();
    Flattening work{code, trees, {}};
    if (flatten_statement(work, roots, statement, index) && flatten_bodies(work)) return true;
    code.program.resize(first_step);
    code.calls.resize(first_call);
    return false;
}

}  // namespace compiled
