// Names taken whole from string expressions, or refused.
#include "interp/file_names.h"

#include "interp/vmbas.h"
#include "values/error.h"
#include "values/evaluator.h"

int eval_file_name(C_VMBAS& vm, const char*& p, std::string_view message, std::string& name) {
    C_STR value;
    if (eval_string_value(vm, p, value) < 0 || value.view().find('\0') != std::string_view::npos)
        return vm_error::fail(message);
    name.assign(value.view());
    return 0;
}
