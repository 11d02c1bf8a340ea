// load, save and merge: ".bas" files carry line numbers, ".vmb" files do not and are
// numbered 100, 200, ... when loaded.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "base/file_handle.h"
#include "base/whole_file_writer.h"
#include "interp/file_names.h"
#include "interp/program_files.h"
#include "interp/statements.h"
#include "interp/vmbas.h"
#include "io/code_page.h"
#include "values/error.h"
#include "values/text_scan.h"

namespace {

constexpr size_t kMaxLineBytes = 305;
// The longest name that still leaves room for an appended ".vmb" in 256 bytes.
constexpr size_t kMaxFileName = 251;

bool ends_with_nocase(std::string_view name, std::string_view extension) {
    return name.size() >= extension.size() && equals_nocase(name.substr(name.size() - extension.size()), extension);
}

// Whether a file's lines carry numbers: by its name's extension, or, for a script
// named on the command line without one, by its first line of program text.
enum class Numbering { Numbered, Unnumbered, ByFirstLine };

Numbering numbering_by_extension(std::string_view name) {
    if (ends_with_nocase(name, ".bas")) return Numbering::Numbered;
    if (ends_with_nocase(name, ".vmb")) return Numbering::Unnumbered;
    return Numbering::ByFirstLine;
}

// The extension rule of the statements: ".bas" is numbered, ".vmb" is not, anything
// else gains ".vmb".
bool numbered_by_extension(std::string& name) {
    const Numbering numbering = numbering_by_extension(name);
    if (numbering == Numbering::ByFirstLine) name += ".vmb";
    return numbering == Numbering::Numbered;
}

int read_file_name(C_VMBAS& vm, const char*& p, std::string& name) {
    if (eval_file_name(vm, p, "ファイル名が必要", name) < 0) return -1;
    // An empty name would otherwise become the hidden file ".vmb".
    if (name.empty()) return vm_error::fail("ファイル名が必要");
    if (name.size() > kMaxFileName) return vm_error::fail("ファイル名が長すぎる");
    return 0;
}

// The file's lines without their line ends, or false when it cannot be read as a file
// (missing, a directory, unreadable). Reading stops after a line too long to load,
// because the load fails there: a device or a huge file that is no program is never
// read whole.
bool read_file_lines(const std::string& name, std::vector<std::string>& lines) {
    base::FileHandle file(std::fopen(name.c_str(), "rb"));
    struct stat status {};
    if (!file || fstat(fileno(file.get()), &status) != 0 || S_ISDIR(status.st_mode)) return false;
    std::string line;
    for (int c; (c = std::getc(file.get())) != EOF;) {
        if (c == '\n') {
            lines.push_back(std::move(line));
            line.clear();
            continue;
        }
        line += static_cast<char>(c);
        if (line.size() > kMaxLineBytes + 1) break;  // too long even without a final '\r'
    }
    if (!line.empty()) lines.push_back(std::move(line));
    return !std::ferror(file.get());
}

// Files written on Windows end their lines in CR LF; some editors open a UTF-8 file
// with a byte-order mark. Neither is program text.
void drop_foreign_marks(std::vector<std::string>& lines) {
    if (!lines.empty() && lines.front().starts_with("\xEF\xBB\xBF")) lines.front().erase(0, 3);
    for (std::string& line : lines)
        if (line.ends_with('\r')) line.pop_back();
}

// Old programs in Shift-JIS keep working where the console speaks UTF-8.
bool needs_cp932_conversion(const std::vector<std::string>& lines) {
    if (console_code_page() != CodePage::Utf8) return false;
    if (std::ranges::all_of(lines, [](const std::string& line) { return is_valid_utf8(line); })) return false;
    std::string converted;
    return std::ranges::all_of(lines, [&](const std::string& line) { return cp932_to_utf8(line, converted); });
}

// The length limit counts the bytes in the file, before any conversion.
int store_file_line(C_VMBAS& vm, std::string_view line, bool convert, bool numbered, int32_t& previous_number) {
    if (line.size() > kMaxLineBytes) return vm_error::fail("文字列長超過");
    std::string text(line);
    if (convert) cp932_to_utf8(line, text);
    const char* p = skip_blanks(text.c_str());
    int32_t number;
    if (numbered) {
        if (!is_digit(*p)) return vm_error::fail("行番号のないプログラムは拡張子を .vmb としてください");
        char* end = nullptr;
        const long read = std::min<long>(std::strtol(p, &end, 10), INT32_MAX);
        if (read < 1) return vm_error::fail("行番号のないプログラムは拡張子を .vmb としてください");
        number = static_cast<int32_t>(read);
        p = end;
        if (*p == ' ') ++p;
    } else {
        if (is_digit(*p)) return vm_error::fail("行番号のあるプログラムは拡張子を .bas としてください");
        if (previous_number > INT32_MAX - 100) return vm_error::fail("プログラム格納失敗");
        number = previous_number + 100;
        p = text.c_str();
    }
    if (vm.store_line(number, p) < 0) return vm_error::fail("プログラム格納失敗");
    previous_number = number;
    return 0;
}

// A first line "#!..." names the interpreter that runs the file as a script from the
// shell; it is no program text. Its bytes are converted like the program's, so that a
// later save writes one consistent file.
std::string take_script_line(std::vector<std::string>& lines) {
    if (lines.empty() || !lines.front().starts_with("#!")) return {};
    std::string script_line = std::move(lines.front());
    lines.erase(lines.begin());
    return script_line;
}

bool first_line_is_numbered(const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        if (const char* p = skip_blanks(line.c_str()); *p != '\0') return is_digit(*p);
    return false;
}

int load_program(C_VMBAS& vm, const std::string& name, Numbering numbering, bool merging) {
    std::vector<std::string> lines;
    if (!read_file_lines(name, lines)) return vm_error::fail("ファイルがありません");
    drop_foreign_marks(lines);
    std::string script_line = take_script_line(lines);
    const bool numbered = numbering == Numbering::ByFirstLine ? first_line_is_numbered(lines)
                                                              : numbering == Numbering::Numbered;
    const bool convert = needs_cp932_conversion(lines);
    if (!merging) {
        vm.new_program();
        if (convert) cp932_to_utf8(std::string(script_line), script_line);
        vm.program.script_line = std::move(script_line);
    }
    int32_t previous_number = 0;
    for (const std::string& line : lines) {
        if (store_file_line(vm, line, convert, numbered, previous_number) < 0) {
            vm.new_program();
            return -1;
        }
    }
    return 0;
}

int save_program(C_VMBAS& vm, const std::string& name, bool numbered) {
    const bool saved = base::write_whole_file(name, [&](std::FILE* file) {
        const std::string& script_line = vm.program.script_line;
        if (!script_line.empty() && std::fprintf(file, "%s\n", script_line.c_str()) < 0) return false;
        for (const ProgramLine* line = vm.program.first(); line; line = line->next) {
            const int written = numbered ? std::fprintf(file, "%s%s\n", line_number_prefix(line->number).c_str(), line->text.c_str())
                                         : std::fprintf(file, "%s\n", line->text.c_str());
            if (written < 0) return false;
        }
        return true;
    });
    return saved ? 0 : vm_error::fail("ファイル作成失敗");
}

// The ",a" or ",p" option is accepted for old programs; it changes nothing.
int skip_save_option(const char*& p) {
    const char* q = skip_blanks(p);
    if (*q != ',') return 0;
    q = skip_blanks(q + 1);
    if (to_lower(*q) != 'a' && to_lower(*q) != 'p') return vm_error::fail("無効なパラメータ");
    p = q + 1;
    return 0;
}

}  // namespace

int load_program_file(C_VMBAS& vm, const std::string& name) {
    return load_program(vm, name, numbering_by_extension(name), false);
}

int stmt_load(C_VMBAS& vm, const char*& p) {
    std::string name;
    if (read_file_name(vm, p, name) < 0) return -1;
    const bool numbered = numbered_by_extension(name);
    return load_program(vm, name, numbered ? Numbering::Numbered : Numbering::Unnumbered, false);
}

int stmt_merge(C_VMBAS& vm, const char*& p) {
    constexpr std::string_view kNeedsBas = messages::translatable("拡張子 .bas のファイルが必要");
    std::string name;
    if (eval_file_name(vm, p, kNeedsBas, name) < 0) return -1;
    if (name.size() < 4 || !ends_with_nocase(name, ".bas")) return vm_error::fail(kNeedsBas);
    if (name.size() > kMaxFileName) return vm_error::fail("ファイル名が長すぎる");
    return load_program(vm, name, Numbering::Numbered, true);
}

int stmt_save(C_VMBAS& vm, const char*& p) {
    if (skip_save_option(p) < 0) return -1;
    if (vm.is_running()) return vm_error::fail("実行中は無効");
    const char* q = p;
    std::string name;
    if (read_file_name(vm, q, name) < 0) return -1;
    const bool numbered = numbered_by_extension(name);
    if (save_program(vm, name, numbered) < 0) return -1;
    p = q;
    return 0;
}
