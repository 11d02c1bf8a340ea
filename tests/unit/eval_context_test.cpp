// The evaluator on its own context, without an interpreter, and the function libraries
// registered into a context: tried after the core built-ins, numbers and strings alike.
#include <gtest/gtest.h>

#include <string>

#include "interp/vmbas.h"
#include "values/builtin_functions.h"
#include "values/error.h"
#include "values/eval_context.h"
#include "values/evaluator.h"
#include "values/text_scan.h"

namespace {

// The value as "re,im", or the message of the failure.
std::string evaluate(EvalContext& context, const char* text) {
    vm_error::clear();
    Complex value;
    if (eval_expr(context, text, value) < 0) return vm_error::message();
    return std::to_string(value.re) + "," + std::to_string(value.im);
}

int twice(EvalContext&, const BuiltinArgs& a, Complex& out) {
    out = a.c[0] + a.c[0];
    return 0;
}

constexpr BuiltinFunction kLibrary[] = {{"twice", "c", twice}, {"abs", "c", twice}};

BuiltinResult read_shout(EvalContext&, const char*& p, C_STR& out) {
    if (!names_call(p, "shout$")) return BuiltinResult::NotBuiltin;
    out.assign("HEY");
    p += 8;  // shout$()
    return BuiltinResult::Done;
}

TEST(EvalContext, EvaluatesVariablesAndCoreFunctionsOnItsOwn) {
    EvalContext context;
    context.variables.find_or_create("x")->value = {3, 4};
    EXPECT_EQ(evaluate(context, "abs(x) * 2 + err"), "10.000000,0.000000");
    EXPECT_EQ(builtin_called_at(context, "eof(1)"), nullptr);
    EXPECT_EQ(builtin_called_at(context, "gsizex()"), nullptr);
}

TEST(EvalContext, RegisteredLibrariesComeAfterTheCoreTable) {
    EvalContext context;
    context.libraries.add(kLibrary);
    context.libraries.add(read_shout);
    EXPECT_EQ(evaluate(context, "twice(2i) + abs(-3)"), "3.000000,4.000000");
    EXPECT_EQ(builtin_called_at(context, " twice(1)"), &kLibrary[0]);

    C_STR text;
    const char* p = "shout$() + chr$(33)";
    ASSERT_EQ(eval_string(context, p, text), 0);
    EXPECT_EQ(text.view(), "HEY!");
}

TEST(EvalContext, TheInterpreterRegistersChannelAndGraphicsFunctions) {
    C_VMBAS vm;
    for (const char* call : {"eof(1)", "loc(1)", "pos(0)", "peek(0)", "varptr(#1)", "gsizex()", "grgb(1,2,3)"})
        EXPECT_NE(builtin_called_at(vm, call), nullptr) << call;
    EXPECT_EQ(evaluate(vm, "grgb(1,2,3) + varptr(#99)"), "197121.000000,0.000000");
    C_STR text;
    const char* p = "input$(3, #9)";
    ASSERT_EQ(eval_string(vm, p, text), 0);
    EXPECT_EQ(text.view(), "");
}

}  // namespace
