// Parsing and evaluating typical expressions, in nanoseconds per evaluation.
#include <benchmark/benchmark.h>

#include <string>

#include "interp/vmbas.h"
#include "values/error.h"
#include "values/evaluator.h"

namespace {

void evaluate(benchmark::State& state, const char* expression) {
    C_VMBAS vm;
    for (auto _ : state) {
        const char* p = expression;
        Complex value;
        benchmark::DoNotOptimize(eval_expr(vm, p, value));
        benchmark::DoNotOptimize(value);
    }
}

void BM_ComplexPolynomial(benchmark::State& state) { evaluate(state, "(1+2i)^3 - 4*(1+2i)^2 + 5*(1+2i) - 6i"); }
void BM_FunctionChain(benchmark::State& state) { evaluate(state, "sqrt(exp(log(sin(cos(1+i)))))"); }
void BM_ArithmeticLiteral(benchmark::State& state) { evaluate(state, "2+3*4-5/6"); }
void BM_Comparison(benchmark::State& state) { evaluate(state, "1 < 2 and 3 >= 2 or not 0"); }

std::string repeated(std::string_view text, int64_t times) {
    std::string result;
    for (int64_t k = 0; k < times; ++k) result += text;
    return result;
}

// Nested calls, depth = state.range(0). Every level is read once, so the time per
// evaluation grows in proportion to the depth (reading a level once per way of
// reading it used to double the time with every level).
void evaluate_nested(benchmark::State& state, const std::string& text, bool succeeds) {
    C_VMBAS vm;
    for (auto _ : state) {
        const char* p = text.c_str();
        Complex value;
        vm_error::clear();
        if ((eval_expr(vm, p, value) == 0) != succeeds) state.SkipWithError("unexpected result");
        benchmark::DoNotOptimize(value);
    }
    state.SetComplexityN(state.range(0));
}

// len(input$(len(input$(... 1 ...,0)),0)): input$ with its optional channel argument
// (0: no channel, so nothing is read) and a value at the end.
void BM_NestedOptionalArguments(benchmark::State& state) {
    const int64_t depth = state.range(0);
    evaluate_nested(state, repeated("len(input$(", depth) + "1" + repeated(",0))", depth), true);
}

// len(input$(input$(... 1 ...))): each level a string where a number belongs, failing
// with the message of the innermost refusal.
void BM_NestedStringArguments(benchmark::State& state) {
    const int64_t depth = state.range(0);
    evaluate_nested(state, "len(" + repeated("input$(", depth) + "1" + repeated(")", depth) + ")", false);
}

}  // namespace

BENCHMARK(BM_ComplexPolynomial);
BENCHMARK(BM_FunctionChain);
BENCHMARK(BM_ArithmeticLiteral);
BENCHMARK(BM_Comparison);
BENCHMARK(BM_NestedOptionalArguments)->DenseRange(10, 60, 10)->Complexity(benchmark::oN);
BENCHMARK(BM_NestedStringArguments)->DenseRange(10, 60, 10)->Complexity(benchmark::oN);
BENCHMARK_MAIN();
