// Sampling a user function for a graph: the parameters hide program variables only
// while the graph runs, and a point where the body fails is a gap without a message.
#include <gtest/gtest.h>

#include <cstring>

#include "graphics/graph_function.h"
#include "interp/statements.h"
#include "interp/vmbas.h"
#include "values/error.h"

namespace {

// Defines "fnNAME(...)=body" and returns the function.
const UserFunction& define(C_VMBAS& vm, const char* definition) {
    const char* p = definition;
    EXPECT_EQ(stmt_def(vm, p), 0);
    return *vm.functions.find(std::string_view(definition, std::strchr(definition, '(') - definition));
}

TEST(SampledFunction, ParametersHideVariablesUntilTheGraphEnds) {
    C_VMBAS vm;
    vm.variables.find_or_create("x")->value = {5, 0};
    const UserFunction& f = define(vm, "fnf(x,y)=x*10+y");
    ASSERT_TRUE(has_numeric_parameters(f, 2));
    {
        SampledFunction sampled(vm, f, 2);
        ASSERT_TRUE(sampled.bound());
        sampled.set(0, {1, 0});
        sampled.set(1, {0, 2});
        const auto value = sampled.evaluate();
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(value->re, 10);
        EXPECT_EQ(value->im, 2);
    }
    EXPECT_EQ(vm.variables.find("x")->value.re, 5);
    EXPECT_EQ(vm.variables.find("y"), nullptr);
}

TEST(SampledFunction, AFailingPointLeavesNoMessage) {
    C_VMBAS vm;
    vm_error::clear();
    const UserFunction& f = define(vm, "fnf(x)=x$");
    SampledFunction sampled(vm, f, 1);
    sampled.set(0, {1, 0});
    EXPECT_FALSE(sampled.evaluate().has_value());
    EXPECT_FALSE(vm_error::has_message());
}

TEST(SampledFunction, OnlyNumericFunctionsAndParameters) {
    C_VMBAS vm;
    define(vm, "fns$(x)=\"a\"");
    const char* p = "fns$";
    EXPECT_EQ(scan_graph_function(vm, p), nullptr);
    p = "fnq";
    EXPECT_EQ(scan_graph_function(vm, p), nullptr);
    EXPECT_FALSE(has_numeric_parameters(define(vm, "fnt(a$)=1"), 1));
    EXPECT_TRUE(has_numeric_parameters(define(vm, "fnu%(k%)=1"), 1));
    EXPECT_FALSE(has_numeric_parameters(define(vm, "fnv(a,b)=1"), 1));
}

}  // namespace
