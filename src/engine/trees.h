// The expression trees the compiler reads a statement into, following the evaluator's
// grammar; they live only while the statement compiles, and flattening turns them
// into the line's one form, programs of instructions.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "engine/compiled_code.h"

namespace compiled {

enum class Op : uint8_t {
#define NODE(name, meaning) name,
#include "engine/nodes.def"
#undef NODE
};

// Children are further nodes of the same statement: operands, arguments or subscripts.
struct Node {
    Node() = default;
    explicit Node(Op kind, int32_t slot_or_index = -1) : op(kind), index(slot_or_index) {}
    Node(Op kind, Complex constant) : op(kind), value(constant) {}

    Op op = Op::Constant;
    bool normalize = false;  // a sum's result: a negative zero part becomes +0
    uint8_t count = 0;       // subscripts or arguments in `child`
    int32_t index = -1;  // variable slot, string constant, built-in or call, by op
    std::array<int32_t, 4> child{-1, -1, -1, -1};
    Complex value;  // Constant
};

// A def fn call as read: its arguments' trees, and its body's, read for this call.
struct TreeCall {
    const UserFunction* function = nullptr;
    int type = VT_COMPLEX;  // the function's, by its name
    std::array<int32_t, kMaxArguments> arguments{};
    int argument_count = 0;
    int32_t body = -1;
};

struct Trees {
    std::vector<Node> nodes;
    std::vector<TreeCall> calls;

    const Node& at(int32_t index) const { return nodes[static_cast<size_t>(index)]; }
};

// The root nodes of a statement's expressions, -1 where it has none: the assigned
// element (its subscripts), the value, a for's limit and step.
struct Roots {
    int32_t assigned = -1;
    int32_t value = -1;
    int32_t limit = -1;
    int32_t step = -1;
};

}  // namespace compiled
