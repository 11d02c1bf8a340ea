// The XDG base directories, with the home directory from $HOME or the password file.
#include "io/user_paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

// The home folder only when it exists: files go under it, and it is never made for
// them. Accounts such as Debian's nobody name one that must not exist (/nonexistent).
std::string home_directory() {
    const char* home = std::getenv("HOME");
    if (!home || *home != '/') {
        const passwd* entry = getpwuid(getuid());
        home = entry && entry->pw_dir ? entry->pw_dir : "";
    }
    std::error_code error;
    return *home == '/' && std::filesystem::is_directory(home, error) ? home : "";
}

// The directory named by `variable`, or `fallback` under the home directory. Relative
// paths in these variables are invalid and ignored, as the XDG rules ask.
std::string xdg_directory(const char* variable, std::string_view fallback) {
    const char* value = std::getenv(variable);
    if (value && *value == '/') return value;
    const std::string home = home_directory();
    return home.empty() ? "" : home + "/" + std::string(fallback);
}

std::string executable_path() {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? "" : executable.string();
}

}  // namespace

std::string history_file_path() {
    const std::string state = xdg_directory("XDG_STATE_HOME", ".local/state");
    return state.empty() ? "" : state + "/velmora/history";
}

std::string locale_directory() {
    const std::filesystem::path directory = std::filesystem::path(executable_path()).parent_path();
    std::error_code error;
    if (std::filesystem::is_directory(directory / "locale", error)) return directory / "locale";
    return (directory.parent_path() / "share" / "locale").string();
}

std::string ini_file_path() {
    const std::string executable = executable_path();
    const std::string directory = std::filesystem::path(executable).parent_path().string();
    const bool writable = !directory.empty() && access(directory.c_str(), W_OK) == 0;
    return choose_ini_path(executable, writable, xdg_directory("XDG_CONFIG_HOME", ".config"));
}

std::string choose_ini_path(std::string_view executable, bool writable, std::string_view config_home) {
    const std::filesystem::path path(executable);
    const bool bin_directory = path.parent_path().filename() == "bin";
    if (!executable.empty() && writable && !bin_directory) return path.parent_path() / path.stem() += ".ini";
    return config_home.empty() ? "" : std::string(config_home) + "/velmora/velmora.ini";
}
