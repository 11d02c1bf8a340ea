// Pictures through the desktop clipboard's image/png target, passed as temporary PNG
// files to xclip or wl-copy/wl-paste, each run under `timeout` so that a clipboard
// owner that never answers cannot hang the interpreter.
#include "graphics/clipboard.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "imagefile/gfile.h"
#include "zov/window.h"

extern char** environ;

namespace clipboard {

namespace {

enum class Desktop { None, X11, Wayland };

bool named(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}

bool on_path(const std::string& tool) {
    const char* path = std::getenv("PATH");
    std::string directories = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= directories.size()) {
        size_t end = directories.find(':', start);
        if (end == std::string::npos) end = directories.size();
        const std::string candidate = directories.substr(start, end - start) + "/" + tool;
        if (access(candidate.c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

Desktop desktop() {
    if (!zov::display_available() || !on_path("timeout")) return Desktop::None;
    if (named("WAYLAND_DISPLAY") && on_path("wl-copy") && on_path("wl-paste")) return Desktop::Wayland;
    if (named("DISPLAY") && on_path("xclip")) return Desktop::X11;
    return Desktop::None;
}

// A temporary .png file that is removed when this goes.
class TemporaryPng {
public:
    TemporaryPng() {
        const char* directory = std::getenv("TMPDIR");
        path_ = std::string(directory && *directory ? directory : "/tmp") + "/velmora-clip-XXXXXX.png";
        const int fd = mkstemps(path_.data(), 4);
        if (fd < 0) path_.clear();
        else close(fd);
    }
    ~TemporaryPng() {
        if (!path_.empty()) unlink(path_.c_str());
    }
    TemporaryPng(const TemporaryPng&) = delete;
    TemporaryPng& operator=(const TemporaryPng&) = delete;
    const std::string& path() const { return path_; }
    bool usable() const { return !path_.empty(); }

private:
    std::string path_;
};

// Runs the command with standard input and output on the given files (or /dev/null)
// and standard error discarded; true when it exits with status 0.
bool run(std::vector<std::string> command, const char* input, const char* output) {
    command.insert(command.begin(), {"timeout", "5"});
    std::vector<char*> argv;
    for (std::string& word : command) argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, input ? input : "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, output ? output : "/dev/null", O_WRONLY | O_TRUNC, 0);
    posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
    pid_t child;
    const int spawned = posix_spawnp(&child, argv[0], &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    if (spawned != 0) return false;
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool read_clipboard(Desktop where, const std::string& into) {
    return where == Desktop::X11
               ? run({"xclip", "-selection", "clipboard", "-t", "image/png", "-o"}, nullptr, into.c_str())
               : run({"wl-paste", "--no-newline", "--type", "image/png"}, nullptr, into.c_str());
}

std::string contents(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// xclip and wl-copy return while their background owner may not yet have claimed
// the selection, so a paste right after a copy could still see the old picture.
// Waits (two seconds at most) until the clipboard hands back what was copied.
void wait_until_offered(Desktop where, const std::string& copied) {
    const std::string expected = contents(copied);
    TemporaryPng offered;
    if (!offered.usable()) return;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!(read_clipboard(where, offered.path()) && contents(offered.path()) == expected) &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

std::optional<zov::Surface>& held_picture() {
    static std::optional<zov::Surface> picture;
    return picture;
}

}  // namespace

void copy_picture(const zov::Surface& picture) {
    held_picture() = picture;
    const Desktop where = desktop();
    if (where == Desktop::None) return;
    TemporaryPng file;
    if (!file.usable() || imagefile::save(picture, file.path(), imagefile::kPng24) < 0) return;
    const bool copied =
        where == Desktop::X11
            ? run({"xclip", "-selection", "clipboard", "-t", "image/png", "-i"}, file.path().c_str(), nullptr)
            : run({"wl-copy", "--type", "image/png"}, file.path().c_str(), nullptr);
    if (copied) wait_until_offered(where, file.path());
}

bool paste_picture(zov::Surface& picture) {
    const Desktop where = desktop();
    if (where == Desktop::None) {
        if (!held_picture()) return false;
        picture = *held_picture();
        return true;
    }
    TemporaryPng file;
    if (!file.usable()) return false;
    zov::Surface loaded;
    if (!read_clipboard(where, file.path()) || imagefile::load(loaded, file.path()) < 0) return false;
    picture = std::move(loaded);
    return true;
}

}  // namespace clipboard
