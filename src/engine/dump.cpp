// The names and meanings come from the list of steps itself, so a new step shows in
// the dump the day it is added.
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

struct StepEntry {
    const char* name;
    const char* meaning;
};

constexpr StepEntry kSteps[] = {
#define STEP(name, operands, pops, pushes, text_pops, text_pushes, meaning) {#name, meaning},
#include "engine/steps.def"
#undef STEP
};

constexpr const char* kKinds[] = {
#define KIND(name) #name,
    COMPILED_STATEMENT_KINDS(KIND)
#undef KIND
};

const StepEntry& step_entry(Step step) { return kSteps[static_cast<size_t>(step)]; }

class Dumper {
public:
    Dumper(std::FILE* out, const CompiledLine& code) : out_(out), code_(code) {}

    void statement(const Statement& s) {
        std::fprintf(out_, "  %s\n", kKinds[static_cast<size_t>(s.kind)]);
        if (s.slot >= 0) std::fprintf(out_, "    variable %s\n", slot_name(s.slot).c_str());
        steps("code", s.code, ends_statement);
        program("value", s.value);
        program("limit", s.limit);
        program("step", s.step);
        if (s.target) std::fprintf(out_, "    target line %d\n", static_cast<int>(s.target->number));
        std::fprintf(out_, "    then %s\n", following(s.follow).c_str());
    }

    void call(const CompiledCall& c, size_t index) {
        std::fprintf(out_, "  call %zu of %s, %d arguments\n", index, c.function->name.c_str(), c.argument_count);
        program("body", c.body);
    }

private:
    void program(const char* role, int32_t start) {
        steps((std::string(role) + " program").c_str(), start, [](Step step) { return step == Step::End; });
    }

    // One step a line, up to the one that ends the code: its place, its name and
    // operands, then what it does.
    void steps(const char* role, int32_t start, bool (*ends)(Step)) {
        if (start < 0) return;
        std::fprintf(out_, "    %s:\n", role);
        for (size_t at = static_cast<size_t>(start); at < code_.program.size(); ++at) {
            const Instruction& i = code_.program[at];
            const std::string operands = step_operands(i);
            std::fprintf(out_, "    %5zu  %-22s %-16s ; %s\n", at, step_entry(i.step).name, operands.c_str(),
                         step_entry(i.step).meaning);
            if (ends(i.step)) return;
        }
    }

    std::string step_operands(const Instruction& i) const {
        switch (operands_of(i.step)) {
            case Operands::None: return "";
            case Operands::Value: return number(i.value);
            case Operands::Slot: return slot_name(i.index);
            case Operands::SlotValue: return slot_name(i.index) + " " + number(i.value);
            case Operands::SlotCount: return slot_name(i.index) + " " + std::to_string(i.count);
            case Operands::String: return "\"" + code_.strings[static_cast<size_t>(i.index)] + "\"";
            case Operands::Index: return std::to_string(i.index);
            case Operands::IndexCounts:
                return std::to_string(i.index) + " " + std::to_string(i.count) + " " + std::to_string(i.texts);
            case Operands::ValueCount: return number(i.value) + " " + std::to_string(i.count);
            case Operands::Count: return std::to_string(i.count);
        }
        return "";
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
    for (size_t k = first_call; k < code.calls.size(); ++k) dumper.call(code.calls[k], k);
}

}  // namespace compiled
