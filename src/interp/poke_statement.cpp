// poke: stores one byte in variable storage or a record buffer (see memory_access.h).
#include "interp/statements.h"
#include "interp/vmbas.h"
#include "values/error.h"
#include "values/evaluator.h"
#include "interp/memory_access.h"
#include "values/text_scan.h"

int stmt_poke(C_VMBAS& vm, const char*& p) {
    constexpr std::string_view kUsage = messages::translatable("使用法:poke アドレス,0~255");
    Complex address;
    int32_t value;
    if (eval_expr(vm, p, address) < 0) return vm_error::fail(kUsage);
    p = skip_blanks(p);
    if (*p != ',') return vm_error::fail(kUsage);
    ++p;
    if (eval_int32(vm, p, &value) < 0 || value < 0 || value > 255) return vm_error::fail(kUsage);
    if (!poke_byte(vm, to_int64(address.re), static_cast<uint8_t>(value))) return vm_error::fail(kUsage);
    return 0;
}
