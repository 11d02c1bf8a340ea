// Running small stored programs through the run loop, to see what one pass of a loop
// costs per kind of statement (items per second = loop passes per second).
#include <benchmark/benchmark.h>

#include <initializer_list>

#include "interp/run_loop.h"
#include "interp/vmbas.h"

namespace {

constexpr int kPasses = 1000;

void run_stored(benchmark::State& state, std::initializer_list<const char*> lines) {
    C_VMBAS vm;
    int number = 10;
    for (const char* line : lines) {
        vm.store_line(number, line);
        number += 10;
    }
    for (auto _ : state) {
        vm.direct_line.set_text("run");
        vm.current_line = &vm.direct_line;
        run_program(vm);
    }
    state.SetItemsProcessed(state.iterations() * kPasses);
}

void BM_ForNextLoop(benchmark::State& state) {
    run_stored(state, {"for k = 1 to 1000: s = s + k: next k"});
}

void BM_IntegerCounter(benchmark::State& state) {
    run_stored(state, {"for k% = 1 to 1000", "s = s + k% * 2 - 1", "next k%"});
}

void BM_ComplexStep(benchmark::State& state) {
    run_stored(state, {"c = -0.5 + 0.5i: z = 0: n = 0", "while n < 1000", "z = z * z + c: n = n + 1", "wend"});
}

void BM_ArrayElement(benchmark::State& state) {
    run_stored(state, {"dim f%(1000)", "for k = 1 to 1000: f%(k) = k: next k"});
}

void BM_StringBuilding(benchmark::State& state) {
    run_stored(state, {"a$ = \"abcdefghijklmnopqrstuvwxyz\": s$ = \"\"", "for k = 1 to 1000",
                       "s$ = s$ + mid$(a$, 3, 1)", "if len(s$) > 200 then s$ = left$(s$, 100)",
                       "t = t + instr(s$, \"cc\")", "next k"});
}

void BM_UserFunctionCall(benchmark::State& state) {
    run_stored(state, {"def fnodd(x, y) = x * 2 - y", "for k = 1 to 1000: s = s + fnodd(k, 1): next k"});
}

void BM_GosubReturn(benchmark::State& state) {
    run_stored(state, {"for k = 1 to 1000: gosub 40: next k", "end", "rem", "c = c + k: return"});
}

}  // namespace

BENCHMARK(BM_ForNextLoop);
BENCHMARK(BM_IntegerCounter);
BENCHMARK(BM_ComplexStep);
BENCHMARK(BM_ArrayElement);
BENCHMARK(BM_StringBuilding);
BENCHMARK(BM_UserFunctionCall);
BENCHMARK(BM_GosubReturn);
