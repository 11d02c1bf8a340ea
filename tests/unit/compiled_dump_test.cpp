// What VELMORA_DUMP shows of compiled code, and the check of its invariants that debug
// builds assert: a checker that passed everything would hide the faults it is for.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/code_check.h"
#include "engine/compiled_code.h"
#include "engine/dump.h"
#include "engine/engine_choice.h"
#include "interp/run_loop.h"
#include "interp/vmbas.h"

namespace {

// The compiled form of line `number` after the program has run once.
compiled::CompiledLine& run_and_compile(C_VMBAS& vm, int32_t number) {
    vm.current_line = vm.program.first();
    run_program(vm);
    return *vm.program.find(number)->compiled;
}

std::string dumped(const compiled::CompiledLine& code, int32_t number, int32_t index) {
    char* text = nullptr;
    size_t size = 0;
    std::FILE* out = open_memstream(&text, &size);
    compiled::dump_statement(out, code, number, 0, index, 0);
    std::fclose(out);
    std::string result(text, size);
    std::free(text);
    return result;
}

TEST(CompiledDump, ShowsEachStepWithItsMeaning) {
    C_VMBAS vm;
    vm.engine = Engine::Compiled;
    vm.store_line(10, "s = s + k * 2");
    vm.store_line(20, "end");
    const compiled::CompiledLine& code = run_and_compile(vm, 10);
    ASSERT_EQ(code.statements.size(), 1u);
    const std::string listing = dumped(code, 10, 0);
    EXPECT_NE(listing.find("line 10, offset 0: s = s + k * 2\n  AssignNumber\n    variable s\n    code:\n"),
              std::string::npos)
        << listing;
    EXPECT_NE(listing.find("Variable               s                ; push variable slot `index`\n"), std::string::npos)
        << listing;
    EXPECT_NE(listing.find("AddScaledVariable      k 2+0i           ; add slot `index` times constant `value`\n"),
              std::string::npos)
        << listing;
    EXPECT_NE(listing.find("Store                  s                ; store the top in variable slot `index`\n"),
              std::string::npos)
        << listing;
    EXPECT_NE(listing.find("Follow                 0                ; assignment `index` is done"), std::string::npos)
        << listing;
    EXPECT_NE(listing.find("then the next line\n"), std::string::npos) << listing;
}

TEST(CompiledDump, EndsAnIfsCodeAtItsIfStep) {
    C_VMBAS vm;
    vm.engine = Engine::Compiled;
    vm.store_line(10, "if k < 3 then k = k + 1 : goto 10");
    const compiled::CompiledLine& code = run_and_compile(vm, 10);
    const std::string listing = dumped(code, 10, 0);
    const size_t condition = listing.find("LessConstant");
    const size_t if_step = listing.find("If                     0");
    ASSERT_NE(if_step, std::string::npos) << listing;
    EXPECT_LT(condition, if_step) << listing;
    EXPECT_EQ(listing.compare(listing.find('\n', if_step) + 1, 8, "    then"), 0) << listing;
}

TEST(CompiledCheck, FindsBrokenPrograms) {
    C_VMBAS vm;
    vm.engine = Engine::Compiled;
    vm.store_line(5, "dim a(3)");
    vm.store_line(10, "for k = 1 to 3 : a(k) = a(k - 1) + k * k : if a(k) > 2 and k < 3 then 20");
    vm.store_line(20, "next k");
    compiled::CompiledLine& code = run_and_compile(vm, 10);
    ASSERT_EQ(code.statements.size(), 3u);
    for (int32_t k = 0; k < 3; ++k) EXPECT_TRUE(compiled::well_formed(code, k, 0)) << k;

    const int32_t start = code.statements[1].code;
    ASSERT_GE(start, 0);
    compiled::CompiledLine broken = code;
    broken.program[static_cast<size_t>(start)].index = static_cast<int32_t>(code.slots.size());
    EXPECT_FALSE(compiled::well_formed(broken, 1, 0)) << "a slot outside the line";

    broken = code;
    auto& steps = broken.program;
    size_t end = static_cast<size_t>(start);
    while (steps[end].step != compiled::Step::Follow) ++end;
    steps[end - 1] = steps[end];
    EXPECT_FALSE(compiled::well_formed(broken, 1, 0)) << "an assignment that leaves its value";

    broken = code;
    broken.program[static_cast<size_t>(start)].step = compiled::Step::Refuse;
    EXPECT_FALSE(compiled::well_formed(broken, 1, 0)) << "one of the loop's own steps in code";

    broken = code;
    const auto condition = static_cast<size_t>(code.statements[2].code);
    broken.program[condition] = broken.program[condition + 1];
    EXPECT_FALSE(compiled::well_formed(broken, 2, 0)) << "an if without its condition";

    broken = code;
    broken.statements[2].then_offset = code.length + 1;
    EXPECT_FALSE(compiled::well_formed(broken, 2, 0)) << "a jump outside the line";
}

TEST(CompiledCheck, FindsBrokenTextPrograms) {
    C_VMBAS vm;
    vm.engine = Engine::Compiled;
    vm.store_line(10, "a$ = \"abc\": s$ = left$(a$, 2) + \"x\"");
    vm.store_line(20, "end");
    compiled::CompiledLine& code = run_and_compile(vm, 10);
    ASSERT_EQ(code.statements.size(), 2u);
    EXPECT_TRUE(compiled::well_formed(code, 1, 0));
    EXPECT_NE(dumped(code, 10, 1).find("Text                   \"x\""), std::string::npos) << dumped(code, 10, 1);

    const auto start = static_cast<size_t>(code.statements[1].code);
    size_t concat = start;
    while (code.program[concat].step != compiled::Step::Concat) ++concat;
    compiled::CompiledLine broken = code;
    broken.program[concat].step = compiled::Step::Instr;
    EXPECT_FALSE(compiled::well_formed(broken, 1, 0)) << "a string program that leaves a value";

    broken = code;
    broken.program[concat - 1].index = static_cast<int32_t>(code.strings.size());
    EXPECT_FALSE(compiled::well_formed(broken, 1, 0)) << "a string constant outside the line";
}

}  // namespace
