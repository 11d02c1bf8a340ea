// Random-access files: field names the parts of a fixed-length record, get and put
// move records between the file and those string variables, lset and rset pad values
// to a variable's length.
#include <cstdio>
#include <cstring>
#include <string>

#include "interp/channel_prefix.h"
#include "interp/statements.h"
#include "interp/vmbas.h"
#include "values/error.h"
#include "values/evaluator.h"
#include "values/names.h"
#include "values/text_scan.h"
#include "values/variable_access.h"

namespace {

constexpr std::string_view kFieldUsage = messages::translatable("field [#]1~15 {,幅 as 文字変数}");
constexpr int32_t kMaxRecordNumber = 32767;

int read_field_definitions(C_VMBAS& vm, const char*& p, IO_DATA& r) {
    int count = 0, total = 0;
    for (;;) {
        int32_t width;
        std::string_view name;
        int type;
        if (eval_int32(vm, p, &width) < 0 || width < 1 || width > 255 || match_keyword(p, "as") < 0 ||
            !scan_var_name(p, name, type) || type != VT_STRING)
            return vm_error::fail(kFieldUsage);
        if (count == kRecordSize) return vm_error::fail("フィールド数超過");
        total += width;
        if (total > r.record_length) return vm_error::fail("レコードサイズ超過");
        r.fields[static_cast<size_t>(count)].name.assign(name);
        r.fields[static_cast<size_t>(count)].width = width;
        ++count;
        const char* q = skip_blanks(p);
        if (*q != ',') {
            r.field_count = count;
            return 0;
        }
        p = q + 1;
    }
}

C_STR& field_variable(C_VMBAS& vm, const FieldDefinition& field) {
    return vm.variables.find_or_create(field.name.view())->string_value;
}

void fill_record_from_fields(C_VMBAS& vm, IO_DATA& r) {
    std::memset(r.record_buffer, ' ', sizeof r.record_buffer);
    int offset = 0;
    for (int i = 0; i < r.field_count && offset < r.record_length; ++i) {
        const FieldDefinition& field = r.fields[static_cast<size_t>(i)];
        const std::string_view value = field_variable(vm, field).view();
        const int length = std::min(static_cast<int>(value.size()), field.width);
        if (offset + length > r.record_length) break;
        std::memcpy(r.record_buffer + offset, value.data(), static_cast<size_t>(length));
        offset += field.width;
    }
}

void fill_fields_from_record(C_VMBAS& vm, IO_DATA& r) {
    int offset = 0;
    for (int i = 0; i < r.field_count && offset < r.record_length; ++i) {
        const FieldDefinition& field = r.fields[static_cast<size_t>(i)];
        const int length = std::min(field.width, kRecordSize - offset);
        field_variable(vm, field).assign(
            std::string_view(reinterpret_cast<const char*>(r.record_buffer + offset), static_cast<size_t>(length)));
        offset += field.width;
    }
}

enum class Transfer { Get, Put };

int transfer_record(C_VMBAS& vm, const char*& p, Transfer direction) {
    const std::string_view usage = direction == Transfer::Get ? "get [#]1~15[,1~31767]" : "put [#]1~15[,1~31767]";
    int channel;
    if (!read_channel_number(vm, p, channel)) return vm_error::fail(usage);
    int32_t number = 0;
    const char* q = skip_blanks(p);
    if (*q == ',') {
        p = q + 1;
        if (eval_int32(vm, p, &number) < 0 || number < 1 || number > kMaxRecordNumber) return vm_error::fail(usage);
    }
    IO_DATA& r = vm.io.record(channel);
    if (!r.is_open() || r.record_length < 1) return vm_error::fail("未オープン");
    if (r.mode != MODE_RANDOM) return vm_error::fail("\"r\" モードでない");
    const int64_t index = number > 0 ? number - 1 : r.record_counter;
    if (index > kMaxRecordNumber) return vm_error::fail("レコード数超過");
    if (direction == Transfer::Put) fill_record_from_fields(vm, r);
    std::FILE* file = r.file.get();
    if (std::fseek(file, static_cast<long>(index * r.record_length), SEEK_SET) != 0) return vm_error::fail("シーク失敗");
    const auto length = static_cast<size_t>(r.record_length);
    if (direction == Transfer::Get) {
        if (std::fread(r.record_buffer, 1, length, file) != length) return vm_error::fail("読込失敗");
    } else if (std::fwrite(r.record_buffer, 1, length, file) != length || std::fflush(file) != 0) {
        return vm_error::fail("書込失敗");
    }
    ++r.record_counter;
    if (direction == Transfer::Get) fill_fields_from_record(vm, r);
    return 0;
}

enum class Side { Left, Right };

int set_padded(C_VMBAS& vm, const char*& p, Side side) {
    const std::string_view usage = side == Side::Left ? messages::translatable("使用法:lset 文字列変数=文字列式")
                                                        : messages::translatable("使用法:rset 文字列変数=文字列式");
    C_STR* target = get_string_var(vm, p);
    if (!target) return vm_error::fail(usage);
    p = skip_blanks(p);
    if (*p != '=') return vm_error::fail(usage);
    ++p;
    C_STR value;
    if (eval_string_value(vm, p, value) < 0) return vm_error::fail(usage);
    const size_t length = target->length();
    if (length == 0) return 0;
    std::string padded(length, ' ');
    const size_t copied = std::min(length, value.length());
    padded.replace(side == Side::Left ? 0 : length - copied, copied, value.view().substr(0, copied));
    target->assign(padded);
    return 0;
}

}  // namespace

int stmt_field(C_VMBAS& vm, const char*& p) {
    int channel;
    if (!read_channel_number(vm, p, channel)) return vm_error::fail(kFieldUsage);
    p = skip_blanks(p);
    if (*p != ',') return vm_error::fail(kFieldUsage);
    ++p;
    IO_DATA& r = vm.io.record(channel);
    if (!r.is_open()) return vm_error::fail("未オープン");
    if (r.mode != MODE_RANDOM) return vm_error::fail("\"r\" モードでない");
    r.field_count = 0;
    return read_field_definitions(vm, p, r);
}

int stmt_get(C_VMBAS& vm, const char*& p) { return transfer_record(vm, p, Transfer::Get); }
int stmt_put(C_VMBAS& vm, const char*& p) { return transfer_record(vm, p, Transfer::Put); }
int stmt_lset(C_VMBAS& vm, const char*& p) { return set_padded(vm, p, Side::Left); }
int stmt_rset(C_VMBAS& vm, const char*& p) { return set_padded(vm, p, Side::Right); }
