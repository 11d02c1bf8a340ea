// The history file: one line per entry, the oldest first. Writers take an exclusive
// lock on a file beside it (the history file itself is replaced, so it cannot carry
// the lock) and write the whole new file before it replaces the old one.
#include "io/history.h"

#include <fcntl.h>
#include <readline/history.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "base/whole_file_writer.h"

namespace line_history {
namespace {

std::string history_path;

class FileLock {
public:
    explicit FileLock(const std::string& path)
        : descriptor_(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
        if (descriptor_ < 0) return;
        while (flock(descriptor_, LOCK_EX) != 0) {
            if (errno == EINTR) continue;
            ::close(descriptor_);
            descriptor_ = -1;
            return;
        }
    }
    ~FileLock() {
        if (descriptor_ >= 0) ::close(descriptor_);
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool held() const { return descriptor_ >= 0; }

private:
    int descriptor_;
};

// A new history file is private to its user, as a shell's is.
bool prepare_file(const std::string& path) {
    std::error_code error;
    const std::filesystem::path directory = std::filesystem::path(path).parent_path();
    if (std::filesystem::create_directories(directory, error)) {
        std::filesystem::permissions(directory, std::filesystem::perms::owner_all, error);
    }
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (descriptor < 0) return false;
    ::close(descriptor);
    return true;
}

}  // namespace

std::vector<std::string> read_lines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream file(path, std::ios::binary);
    for (std::string line; std::getline(file, line);) lines.push_back(std::move(line));
    if (lines.size() > kMaxLines) lines.erase(lines.begin(), lines.end() - static_cast<std::ptrdiff_t>(kMaxLines));
    return lines;
}

bool append_line(const std::string& path, std::string_view line) {
    if (!prepare_file(path)) return false;
    const FileLock lock(path + ".lock");
    if (!lock.held()) return false;
    std::vector<std::string> lines = read_lines(path);
    if (lines.size() == kMaxLines) lines.erase(lines.begin());
    lines.emplace_back(line);
    return base::write_whole_file(path, [&](std::FILE* file) {
        for (const std::string& entry : lines)
            if (std::fwrite(entry.data(), 1, entry.size(), file) != entry.size() || std::fputc('\n', file) == EOF)
                return false;
        return true;
    });
}

void open(const std::string& path) {
    stifle_history(static_cast<int>(kMaxLines));
    history_path = path;
    if (path.empty()) return;
    for (const std::string& line : read_lines(path)) add_history(line.c_str());
}

void add(const char* line) {
    add_history(line);
    if (!history_path.empty()) append_line(history_path, line);
}

}  // namespace line_history
