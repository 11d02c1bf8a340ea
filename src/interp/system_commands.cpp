// Reaching the system: spawn, system, files, kill, name, chdir, pwd, sleep; and
// randomize, which seeds the random generator.
#include <dirent.h>
#include <fnmatch.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "graphics/graphics_state.h"
#include "graphics/inline_windows.h"
#include "interp/file_names.h"
#include "interp/program_store.h"
#include "interp/statements.h"
#include "interp/vmbas.h"
#include "io/break_flag.h"
#include "io/console_input.h"
#include "io/console_writer.h"
#include "io/terminal_signals.h"
#include "values/error.h"
#include "values/evaluator.h"
#include "values/random.h"
#include "values/text_scan.h"

extern char** environ;

namespace {

constexpr int kMaxSpawnArguments = 20;
constexpr size_t kMaxSpawnBytes = 254;

// Runs a child on the terminal in line mode, with everything shown before it, and
// waits for it. Ctrl-C reaches the child and the interpreter alike, so it also stops
// the program. False when the child could not be started.
bool run_child(const char* path, char* const argv[], bool search_path) {
    const bool keys_only = in_key_mode();
    leave_key_mode();
    terminal_signals::leave_mode_to_child();
    console_writer::flush();
    // A Ctrl-C that came before the command could start reached only the interpreter;
    // the command is not started, and the program stops before its next statement.
    if (break_flag::is_set()) {
        if (keys_only) enter_key_mode();
        return true;
    }
    pid_t child;
    const int failed = search_path ? posix_spawnp(&child, path, nullptr, nullptr, argv, environ)
                                   : posix_spawn(&child, path, nullptr, nullptr, argv, environ);
    if (failed == 0) {
        int status;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    }
    if (keys_only) enter_key_mode();
    return failed == 0;
}

// A failed change to the file system is told, with the system's reason, and the
// program goes on: one that removes a file that may not be there keeps running.
void notice_failure(C_VMBAS& vm, std::string_view name, std::string_view what) {
    const int reason = errno;
    vm.io.put_bytes(CHANNEL_CONSOLE, name);
    vm.io.put_text(CHANNEL_CONSOLE, messages::localized(what));
    vm.io.put_bytes(CHANNEL_CONSOLE, std::strerror(reason));
    vm.io.put_char(CHANNEL_CONSOLE, '\n');
}

void sleep_milliseconds(long ms) {
    timespec request{ms / 1000, (ms % 1000) * 1000000L};
    while (nanosleep(&request, &request) != 0 && errno == EINTR && !break_flag::is_set()) {
    }
}

}  // namespace

int stmt_spawn(C_VMBAS& vm, const char*& p) {
    std::vector<std::string> arguments;
    size_t bytes = 0;
    for (;;) {
        if (arguments.size() == kMaxSpawnArguments) return vm_error::fail("引数数超過");
        if (bytes > kMaxSpawnBytes) return vm_error::fail("引数長超過");
        std::string argument;
        if (eval_file_name(vm, p, "文字列が必要", argument) < 0) return -1;
        bytes += argument.size() + 1;
        arguments.push_back(std::move(argument));
        const char* q = skip_blanks(p);
        if (*q != ',') break;
        p = q + 1;
    }
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    gw_refresh(vm, REFRESH_ALL);
    if (!run_child(argv[0], argv.data(), true)) {
        vm.io.put_text(CHANNEL_CONSOLE, "spawn(");
        vm.io.put_bytes(CHANNEL_CONSOLE, arguments[0]);
        vm.io.put_text(CHANNEL_CONSOLE, messages::localized(") 失敗"));
        vm.io.put_char(CHANNEL_CONSOLE, '\n');
    }
    return 0;
}

int stmt_system(C_VMBAS& vm, const char*& p) {
    if (at_statement_end(p)) {
        // The process ends here, not through the interpreter's destruction: what
        // that would finish is finished now, the windows' last pictures shown.
        show_windows_in_terminal(vm);
        vm.io.close_all();
        vm.io.eject_page();
        vm.io.end_console_row_at_exit();
        console_writer::flush();
        std::exit(0);
    }
    std::string command;
    if (eval_file_name(vm, p, "無効な構文", command) < 0) return -1;
    // Not std::system: it ignores Ctrl-C in the caller, so a loop around a command
    // could not be stopped. The command's own status is not the statement's.
    char shell[] = "/bin/sh", option[] = "-c";
    char* const argv[] = {shell, option, command.data(), nullptr};
    gw_refresh(vm, REFRESH_ALL);
    run_child(shell, argv, false);
    return 0;
}

int stmt_files(C_VMBAS& vm, const char*& p) {
    std::string given;
    if (!at_statement_end(p) && eval_file_name(vm, p, "無効な構文", given) < 0) return -1;
    // A directory part names where to look; only the last part is matched.
    std::string_view pattern = *skip_blanks(given.c_str()) == '\0' ? std::string_view("*") : given;
    std::string directory_name = ".";
    if (const size_t slash = pattern.rfind('/'); slash != std::string_view::npos) {
        directory_name.assign(pattern.substr(0, slash + 1));
        pattern.remove_prefix(slash + 1);
    }
    const std::string name_pattern(pattern.empty() ? std::string_view("*") : pattern);
    const std::unique_ptr<DIR, int (*)(DIR*)> directory(opendir(directory_name.c_str()), closedir);
    if (!directory) return 0;
    while (const dirent* entry = readdir(directory.get())) {
        if (fnmatch(name_pattern.c_str(), entry->d_name, 0) != 0) continue;
        vm.io.put_bytes(CHANNEL_CONSOLE, entry->d_name);
        vm.io.put_char(CHANNEL_CONSOLE, '\n');
    }
    return 0;
}

int stmt_kill(C_VMBAS& vm, const char*& p) {
    std::string name;
    if (eval_file_name(vm, p, "ファイル名が必要", name) < 0) return -1;
    if (std::remove(name.c_str()) != 0) notice_failure(vm, name, " 削除失敗: ");
    return 0;
}

int stmt_name(C_VMBAS& vm, const char*& p) {
    constexpr std::string_view kUsage = messages::translatable("使用法:name \"old\" AS \"new\"");
    std::string from, to;
    if (eval_file_name(vm, p, kUsage, from) < 0 || match_keyword(p, "as") < 0 || eval_file_name(vm, p, kUsage, to) < 0)
        return vm_error::fail(kUsage);
    if (std::rename(from.c_str(), to.c_str()) != 0) notice_failure(vm, from, " 名前変更失敗: ");
    return 0;
}

int stmt_chdir(C_VMBAS& vm, const char*& p) {
    std::string directory;
    if (eval_file_name(vm, p, "ディレクトリ名が必要", directory) < 0) return -1;
    if (chdir(directory.c_str()) != 0) notice_failure(vm, directory, " 移動失敗: ");
    return 0;
}

int stmt_pwd(C_VMBAS& vm, const char*&) {
    char directory[PATH_MAX];
    if (getcwd(directory, sizeof directory)) vm.io.put_bytes(CHANNEL_CONSOLE, directory);
    vm.io.put_char(CHANNEL_CONSOLE, '\n');
    return 0;
}

// Waits in 100 ms steps so that Ctrl-C ends the wait at once.
int stmt_sleep(C_VMBAS& vm, const char*& p) {
    int32_t ms;
    if (eval_int32(vm, p, &ms) < 0 || ms < 0 || ms > 8640000) return vm_error::fail("使用法:eleep 0~8640000[ms]");
    console_writer::flush();
    show_windows_in_terminal(vm);
    if (ms > 1) {
        sleep_milliseconds(1);
        --ms;
        gw_refresh(vm, REFRESH_ALL);
    }
    while (ms >= 100 && !break_flag::is_set()) {
        sleep_milliseconds(100);
        ms -= 100;
    }
    if (ms > 0 && !break_flag::is_set()) sleep_milliseconds(ms);
    return 0;
}

int stmt_randomize(C_VMBAS& vm, const char*& p) {
    int32_t seed;
    if (eval_int32(vm, p, &seed) < 0) return vm_error::fail("seed が必要");
    vm.random.seed(seed);
    return 0;
}
