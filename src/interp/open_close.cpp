// open and close of channels #1 to #15: sequential files ("o", "i"), random-access
// files with fixed records ("r") and serial ports ("s").
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <utility>

#include "interp/channel_prefix.h"
#include "interp/file_names.h"
#include "interp/program_store.h"
#include "interp/statements.h"
#include "interp/vmbas.h"
#include "io/serial_port.h"
#include "values/error.h"
#include "values/evaluator.h"
#include "values/text_scan.h"

namespace {

constexpr std::string_view kOpenUsage = messages::translatable("使用法:open \"o|i|r|s\",[#]1~15,ファイル/ポート名[,1~128/300~256000]");

struct OpenMode {
    ChannelMode mode;
    const char* c_mode;
};

bool mode_from_letter(std::string_view letter, OpenMode& mode) {
    if (equals_nocase(letter, "o")) mode = {MODE_OUTPUT, "w"};
    else if (equals_nocase(letter, "i")) mode = {MODE_INPUT, "r"};
    else if (equals_nocase(letter, "r")) mode = {MODE_RANDOM, "r+b"};
    else if (equals_nocase(letter, "s")) mode = {MODE_SERIAL, nullptr};
    else return false;
    return true;
}

bool skip_comma(const char*& p) {
    p = skip_blanks(p);
    if (*p != ',') return false;
    ++p;
    return true;
}

// Random-access files must exist before "r+b" can open them.
void ensure_file_exists(const std::string& name) {
    std::FILE* file = std::fopen(name.c_str(), "r+b");
    if (!file) file = std::fopen(name.c_str(), "w+b");
    if (file) std::fclose(file);
}

// A directory opens for reading on this system but holds no data: it is refused
// like any other name that is no readable file.
std::FILE* open_file(const std::string& name, const char* c_mode) {
    std::FILE* file = std::fopen(name.c_str(), c_mode);
    struct stat status {};
    if (file && fstat(fileno(file), &status) == 0 && S_ISDIR(status.st_mode)) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}

int parse_open(C_VMBAS& vm, const char*& p, OpenMode& mode, int& channel, std::string& name, int32_t& value) {
    C_STR text;
    if (eval_string_value(vm, p, text) < 0 || !mode_from_letter(text.view(), mode)) return -1;
    if (!skip_comma(p) || !read_channel_number(vm, p, channel) || !skip_comma(p)) return -1;
    if (eval_file_name(vm, p, kOpenUsage, name) < 0 || name.empty()) return -1;
    value = 0;
    const char* q = skip_blanks(p);
    if (*q != ',') return 0;
    p = q + 1;
    int32_t n;
    if (eval_int32(vm, p, &n) < 0) return -1;
    if (mode.mode == MODE_RANDOM && n >= 1 && n <= kRecordSize) value = n;
    else if (mode.mode == MODE_SERIAL && n >= 300 && n <= 256000) value = n;
    else return -1;
    return 0;
}

}  // namespace

int C_FILEIO::open(int channel, const std::string& name, int mode, const char* c_mode, int32_t value) {
    if (!is_openable_channel(channel)) return -1;
    IO_DATA& r = record(channel);
    if (r.is_open()) {
        chan_printf(CHANNEL_CONSOLE, "#%d ", channel);
        put_text(CHANNEL_CONSOLE, messages::localized("再オープン\n"));
        return -1;
    }
    if (mode == MODE_SERIAL) {
        SerialPort port = open_serial_port(name, value);
        if (port.fd < 0) return -1;
        r.port = std::move(port);
    } else {
        r.file.reset(open_file(name, c_mode));
        if (!r.file) {
            put_bytes(CHANNEL_CONSOLE, name);
            put_text(CHANNEL_CONSOLE, messages::localized(" オープン失敗\n"));
            return -1;
        }
    }
    r.mode = mode;
    r.record_length = value;
    r.field_count = r.record_counter = r.column = r.width = r.lead_byte = r.pending_length = 0;
    return 0;
}

int stmt_open(C_VMBAS& vm, const char*& p) {
    OpenMode mode{};
    int channel = 0;
    std::string name;
    int32_t value = 0;
    if (parse_open(vm, p, mode, channel, name, value) < 0) return vm_error::fail(kOpenUsage);
    if (mode.mode == MODE_RANDOM) ensure_file_exists(name);
    vm.io.open(channel, name, mode.mode, mode.c_mode, value);
    return 0;
}

int stmt_close(C_VMBAS& vm, const char*& p) {
    if (at_statement_end(p)) {
        vm.io.close_all();
        return 0;
    }
    for (;;) {
        int channel;
        if (!read_channel_number(vm, p, channel)) return vm_error::fail("使用法:close [#]1~15[,…]");
        vm.io.close(channel);
        const char* q = skip_blanks(p);
        if (*q != ',') return 0;
        p = q + 1;
    }
}
