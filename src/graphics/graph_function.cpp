// Binding and sampling the function of a graph.
#include "graphics/graph_function.h"

#include "interp/vmbas.h"
#include "values/error.h"
#include "values/evaluator.h"
#include "values/names.h"
#include "values/text_scan.h"

const UserFunction* scan_graph_function(C_VMBAS& vm, const char*& p) {
    const char* q = skip_blanks(p);
    std::string_view name;
    int type;
    if (!starts_with_nocase(q, "fn") || !scan_var_name(q, name, type)) return nullptr;
    if (type != VT_DOUBLE && type != VT_COMPLEX && type != VT_INTEGER) return nullptr;
    const UserFunction* function = vm.functions.find(name);
    if (function) p = q;
    return function;
}

bool has_numeric_parameters(const UserFunction& function, int count) {
    if (function.parameter_count != count) return false;
    for (int k = 0; k < count; ++k) {
        const int type = function.parameter_types[static_cast<size_t>(k)];
        if (type != VT_DOUBLE && type != VT_COMPLEX && type != VT_INTEGER) return false;
    }
    return true;
}

SampledFunction::SampledFunction(C_VMBAS& vm, const UserFunction& function, int count)
    : vm_(vm), body_(function.body.c_str()), mark_(vm.variables.mark()), message_before_(vm_error::has_message()) {
    for (int k = 0; k < count && k < 2; ++k) {
        parameters_[k] = vm.variables.create(function.parameter_names[static_cast<size_t>(k)]);
        if (!parameters_[k]) {
            vm_error::fail("変数作成失敗");
            bound_ = false;
            return;
        }
    }
}

SampledFunction::~SampledFunction() { vm_.variables.release_to(mark_); }

void SampledFunction::set(int k, Complex value) { parameters_[k]->value = value; }

std::optional<Complex> SampledFunction::evaluate() {
    const char* p = body_;
    Complex value;
    if (eval_expr(vm_, p, value) == 0) return value;
    if (!message_before_) vm_error::clear();
    return std::nullopt;
}
