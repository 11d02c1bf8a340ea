// The compiled engine must actually take the statements it is meant for: the language
// tests compare its output with the text interpreter's, which they would also do if
// it quietly handed every statement back.
#include <gtest/gtest.h>

#include <vector>

#include "engine/compiled_code.h"
#include "engine/engine_choice.h"
#include "interp/run_loop.h"
#include "interp/vmbas.h"

namespace {

using compiled::Kind;

// Runs the stored program, then lists what the line compiled, in order.
std::vector<Kind> compiled_kinds(C_VMBAS& vm, int32_t number) {
    vm.current_line = vm.program.first();
    run_program(vm);
    std::vector<Kind> kinds;
    const ProgramLine* line = vm.program.find(number);
    if (line && line->compiled)
        for (const compiled::Statement& statement : line->compiled->statements) kinds.push_back(statement.kind);
    return kinds;
}

TEST(CompiledEngine, TakesTheCommonStatements) {
    C_VMBAS vm;
    vm.engine = Engine::Compiled;
    vm.store_line(5, "dim a%(10), b$(3)");
    vm.store_line(10, "def fnf(x, y) = x * 2 - y");
    vm.store_line(20, "for k = 1 to 3 : a%(k) = fnf(k, 1) + len(b$(1)) : b$(1) = mid$(\"abc\", k, 1) + b$(1) : next k");
    vm.store_line(30, "n = 0 : while n < 2 : n = n + 1 : wend : gosub 60");
    vm.store_line(40, "if a%(3) = 7 and b$(1) = \"cba\" then 50 else goto 70");
    vm.store_line(50, "end");
    vm.store_line(60, "return");
    vm.store_line(70, "print \"wrong\"");
    EXPECT_EQ(compiled_kinds(vm, 20),
              (std::vector<Kind>{Kind::For, Kind::AssignNumber, Kind::AssignString, Kind::Next}));
    EXPECT_EQ(compiled_kinds(vm, 30),
              (std::vector<Kind>{Kind::AssignNumber, Kind::While, Kind::AssignNumber, Kind::Wend, Kind::Gosub}));
    EXPECT_EQ(compiled_kinds(vm, 40), std::vector<Kind>{Kind::If});
    EXPECT_EQ(compiled_kinds(vm, 60), std::vector<Kind>{Kind::Return});
}

TEST(CompiledEngine, LeavesEffectsToTheTextInterpreter) {
    C_VMBAS vm;
    vm.engine = Engine::Compiled;
    vm.store_line(10, "x = rnd(1) : y$ = inkey$ : print x : z = 1");
    vm.store_line(20, "end");
    EXPECT_EQ(compiled_kinds(vm, 10), std::vector<Kind>{Kind::AssignNumber});
}

// The differential tests run one program on two interpreters side by side.
TEST(CompiledEngine, EachInterpreterRunsOnItsOwnEngine) {
    C_VMBAS text, fast;
    text.engine = Engine::Text;
    fast.engine = Engine::Compiled;
    for (C_VMBAS* vm : {&text, &fast}) {
        vm->store_line(10, "k = k + 1 : if k < 3 then 10");
        vm->store_line(20, "end");
    }
    EXPECT_EQ(compiled_kinds(fast, 10), (std::vector<Kind>{Kind::AssignNumber, Kind::If}));
    EXPECT_EQ(compiled_kinds(text, 10), std::vector<Kind>{});
    EXPECT_EQ(compiled_kinds(fast, 10), (std::vector<Kind>{Kind::AssignNumber, Kind::If}));
}

}  // namespace
