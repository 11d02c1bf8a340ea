// dim and erase: declaring arrays of up to four dimensions, and freeing them.
#include <new>

#include "interp/statements.h"
#include "interp/vmbas.h"
#include "values/error.h"
#include "values/names.h"
#include "values/number_parse.h"
#include "values/text_scan.h"

namespace {

// Arrays larger than this are refused as out of memory rather than left to exhaust
// the machine.
constexpr uint64_t kMaxArrayBytes = uint64_t{1} << 31;

int read_bounds(const char*& p, int& count, std::array<int32_t, kMaxDimensions>& sizes) {
    ++p;  // past "(" or "["
    count = 0;
    for (;;) {
        p = skip_blanks(p);
        double bound;
        if (parse_number(p, bound) < 0 || !(bound >= 0.0 && bound < kMaxSubscript + 1.0))
            return vm_error::fail("配列サイズが無効");
        if (count == kMaxDimensions) return vm_error::fail("配列の次元が高すぎる");
        sizes[static_cast<size_t>(count++)] = static_cast<int32_t>(bound) + 1;
        p = skip_blanks(p);
        if (*p == ',') {
            ++p;
            continue;
        }
        if (*p != ')' && *p != ']') return vm_error::fail(") か ] が必要");
        ++p;
        return 0;
    }
}

int allocate(PCVAR& record, int count, const std::array<int32_t, kMaxDimensions>& sizes) {
    // Checked after every factor: four bounds near 65535 multiply past 2^64 and
    // would wrap to a tiny count.
    const uint64_t element_bytes = record.type == VT_STRING ? sizeof(C_STR) : sizeof(Complex);
    const uint64_t max_elements = kMaxArrayBytes / element_bytes;
    uint64_t elements = 1;
    for (int d = 0; d < count; ++d) {
        elements *= static_cast<uint64_t>(sizes[static_cast<size_t>(d)]);
        if (elements > max_elements) return vm_error::fail("メモリ不足");
    }
    try {
        if (record.type == VT_STRING)
            record.string_elements.resize(static_cast<size_t>(elements));
        else
            record.numeric_elements.assign(static_cast<size_t>(elements), Complex{});
    } catch (const std::bad_alloc&) {
        record.erase_array();
        return vm_error::fail("メモリ不足");
    }
    record.dimension_count = count;
    record.dimension_sizes = sizes;
    return 0;
}

int declare_one(C_VMBAS& vm, const char*& p) {
    std::string_view name;
    int type;
    if (!scan_var_name(p, name, type)) return vm_error::fail("配列名がない");
    p = skip_blanks(p);
    if (*p != '(' && *p != '[') return vm_error::fail("( か [ が必要");
    int count;
    std::array<int32_t, kMaxDimensions> sizes{};
    if (read_bounds(p, count, sizes) < 0) return -1;
    PCVAR* record = vm.variables.find_or_create(name);
    if (record->has_array()) return vm_error::fail("配列の重複宣言は無効");
    return allocate(*record, count, sizes);
}

}  // namespace

int stmt_dim(C_VMBAS& vm, const char*& p) {
    for (;;) {
        if (declare_one(vm, p) < 0) return -1;
        const char* q = skip_blanks(p);
        if (*q != ',') return 0;
        p = q + 1;
    }
}

int stmt_erase(C_VMBAS& vm, const char*& p) {
    for (;;) {
        std::string_view name;
        int type;
        if (!scan_var_name(p, name, type)) return vm_error::fail("配列名がない");
        PCVAR* record = vm.variables.find(name);
        if (!record || !record->has_array()) return vm_error::fail("配列変数がない");
        record->erase_array();
        const char* q = skip_blanks(p);
        if (*q != ',') return 0;
        p = q + 1;
    }
}
