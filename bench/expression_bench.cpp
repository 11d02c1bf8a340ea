// Parsing and evaluating typical expressions, in nanoseconds per evaluation.
#include <benchmark/benchmark.h>

#include "interp/vmbas.h"
#include "values/evaluator.h"

namespace {

void evaluate(benchmark::State& state, const char* expression) {
    C_VMBAS vm;
    for (auto _ : state) {
        const char* p = expression;
        Complex value;
        eval_expr(vm, p, value);
        benchmark::DoNotOptimize(value);
    }
}

void BM_ComplexPolynomial(benchmark::State& state) { evaluate(state, "(1+2i)^3 - 4*(1+2i)^2 + 5*(1+2i) - 6i"); }
void BM_FunctionChain(benchmark::State& state) { evaluate(state, "sqrt(exp(log(sin(cos(1+i)))))"); }
void BM_ArithmeticLiteral(benchmark::State& state) { evaluate(state, "2+3*4-5/6"); }
void BM_Comparison(benchmark::State& state) { evaluate(state, "1 < 2 and 3 >= 2 or not 0"); }

}  // namespace

BENCHMARK(BM_ComplexPolynomial);
BENCHMARK(BM_FunctionChain);
BENCHMARK(BM_ArithmeticLiteral);
BENCHMARK(BM_Comparison);
BENCHMARK_MAIN();
