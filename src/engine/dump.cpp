// The names and meanings come from the lists of nodes and steps themselves, so a new
// step shows in the dump the day it is added.
#include "engine/dump.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "interp/program_store.h"
#include "values/builtin_functions.h"
#include "values/user_functions.h"

namespace compiled {

namespace {

struct Entry {
    const char* name;
    const char* meaning;
};

struct StepEntry {
    const char* name;
    Operands operands;
    const char* meaning;
};

constexpr StepEntry kSteps[] = {
#define STEP(name, operands, pops, pushes, meaning) {#name, Operands::operands, meaning},
#include "engine/steps.def"
#undef STEP
};

constexpr Entry kNodes[] = {
#define NODE(name, meaning) {#name, meaning},
#include "engine/nodes.def"
#undef NODE
};

constexpr const char* kKinds[] = {
#define KIND(name) #name,
    COMPILED_STATEMENT_KINDS(KIND)
#undef KIND
};

const StepEntry& step_entry(Step step) { return kSteps[static_cast<size_t>(step)]; }
const Entry& node_entry(Op op) { return kNodes[static_cast<size_t>(op)]; }

class Dumper {
public:
    Dumper(std::FILE* out, const CompiledLine& code) : out_(out), code_(code) {}

    void statement(const Statement& s) {
        std::fprintf(out_, "  %s\n", kKinds[static_cast<size_t>(s.kind)]);
        if (s.slot >= 0) std::fprintf(out_, "    variable %s\n", slot_name(s.slot).c_str());
        tree("assigned", s.assigned);
        if (s.subscripts >= 0) program("subscripts", s.subscripts);
        if (s.value_program >= 0)
            program("value", s.value_program);
        else
            tree("value", s.value);
        tree("limit", s.limit);
        tree("step", s.step);
        if (s.target) std::fprintf(out_, "    target line %d\n", static_cast<int>(s.target->number));
        std::fprintf(out_, "    then %s\n", following(s.follow).c_str());
    }

    void call(const CompiledCall& c) {
        std::fprintf(out_, "  call of %s, %d arguments\n", c.function->name.c_str(), c.argument_count);
        if (c.body_program >= 0)
            program("body", c.body_program);
        else
            tree("body", c.body);
    }

private:
    void tree(const char* role, int32_t root) {
        if (root >= 0) std::fprintf(out_, "    %s tree: %s\n", role, node_text(root).c_str());
    }

    // One step a line: its place, its name and operands, then what it does.
    void program(const char* role, int32_t start) {
        std::fprintf(out_, "    %s program:\n", role);
        for (size_t at = static_cast<size_t>(start);; ++at) {
            const Instruction& i = code_.program[at];
            const std::string operands = step_operands(i);
            std::fprintf(out_, "    %5zu  %-22s %-16s ; %s\n", at, step_entry(i.step).name, operands.c_str(),
                         step_entry(i.step).meaning);
            if (i.step == Step::End) return;
        }
    }

    std::string step_operands(const Instruction& i) const {
        switch (step_entry(i.step).operands) {
            case Operands::None: return "";
            case Operands::Value: return number(i.value);
            case Operands::Slot: return slot_name(i.index);
            case Operands::SlotValue: return slot_name(i.index) + " " + number(i.value);
            case Operands::SlotCount: return slot_name(i.index) + " " + std::to_string(i.count);
            case Operands::Node: return "node " + std::to_string(i.index);
            case Operands::Index: return std::to_string(i.index);
            case Operands::ValueCount: return number(i.value) + " " + std::to_string(i.count);
            case Operands::Count: return std::to_string(i.count);
        }
        return "";
    }

    // A tree as its operator's name applied to its children, the leaves with their values.
    std::string node_text(int32_t index) const {
        const Node& n = code_.nodes[static_cast<size_t>(index)];
        std::string text = node_entry(n.op).name;
        switch (n.op) {
            case Op::Constant: return text + " " + number(n.value);
            case Op::Variable:
            case Op::StringVariable: return text + " " + slot_name(n.index);
            case Op::VariablePlus: return text + " " + slot_name(n.index) + " " + number(n.value);
            case Op::StringConstant: return text + " \"" + code_.strings[static_cast<size_t>(n.index)] + "\"";
            case Op::Builtin: text.append(" ").append(code_.builtins[static_cast<size_t>(n.index)]->name); break;
            case Op::Element:
            case Op::StringElement: text.append(" ").append(slot_name(n.index)); break;
            case Op::Parameter:
            case Op::StringParameter: return text + " " + std::to_string(n.index);
            default: break;
        }
        std::string children;
        for (int32_t child : n.child) {
            if (child < 0) continue;
            if (!children.empty()) children += ", ";
            children += node_text(child);
        }
        return children.empty() ? text : text + "(" + children + ")";
    }

    std::string slot_name(int32_t slot) const {
        if (slot < 0 || static_cast<size_t>(slot) >= code_.slots.size()) return "slot " + std::to_string(slot);
        return code_.slots[static_cast<size_t>(slot)].name;
    }

    static std::string number(Complex value) {
        char text[64];
        std::snprintf(text, sizeof text, "%.17g%+.17gi", value.re, value.im);
        return text;
    }

    std::string following(int32_t follow) const {
        if (follow == kFollowLineEnd) return "the next line";
        if (follow == kFollowUnknown) return "the dispatcher decides";
        return "the statement at offset " + std::to_string(follow);
    }

    std::FILE* out_;
    const CompiledLine& code_;
};

// The statement's text from `offset` to its end, or to the end of the line where its
// end is not one place (an if, a statement left to the text interpreter).
std::string_view statement_text(const CompiledLine& code, int32_t offset, int32_t index) {
    int32_t end = index >= 0 ? code.statements[static_cast<size_t>(index)].end : code.length;
    if (end <= offset) end = code.length;
    return {code.body + offset, static_cast<size_t>(end - offset)};
}

}  // namespace

bool dumping() {
    static const bool wanted = [] {
        const char* value = std::getenv("VELMORA_DUMP");
        return value && std::strcmp(value, "1") == 0;
    }();
    return wanted;
}

void dump_statement(std::FILE* out, const CompiledLine& code, int32_t line_number, int32_t offset, int32_t index,
                    size_t first_call) {
    const std::string_view text = statement_text(code, offset, index);
    std::fprintf(out, "line %d, offset %d: %.*s\n", static_cast<int>(line_number), static_cast<int>(offset),
                 static_cast<int>(text.size()), text.data());
    if (index < 0) {
        std::fprintf(out, "  left to the text interpreter\n");
        return;
    }
    Dumper dumper(out, code);
    dumper.statement(code.statements[static_cast<size_t>(index)]);
    for (size_t k = first_call; k < code.calls.size(); ++k) dumper.call(code.calls[k]);
}

}  // namespace compiled
