// A new file beside the target, renamed over it when complete.
#include "base/whole_file_writer.h"

#include <sys/stat.h>
#include <unistd.h>

#include "base/file_handle.h"

namespace base {
namespace {

std::string directory_of(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The replaced file's permissions, or for a new file the ones fopen would give it.
mode_t mode_for(bool exists, const struct stat& existing) {
    if (exists) return existing.st_mode & 07777;
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

bool write_in_place(const std::string& name, const std::function<bool(std::FILE*)>& write) {
    FileHandle file(std::fopen(name.c_str(), "w"));
    if (!file) return false;
    const bool written = write(file.get());
    return std::fclose(file.release()) == 0 && written;
}

}  // namespace

bool write_whole_file(const std::string& name, const std::function<bool(std::FILE*)>& write) {
    struct stat existing {};
    const bool exists = lstat(name.c_str(), &existing) == 0;
    // Links, devices and pipes are written through: replacing them would change what
    // the name stands for.
    if (exists && !S_ISREG(existing.st_mode)) return write_in_place(name, write);
    std::string partial = directory_of(name) + "/.velmora-save-XXXXXX";
    const int descriptor = mkstemp(partial.data());
    // A directory that takes no new files may still hold a writable file of that name.
    if (descriptor < 0) return write_in_place(name, write);
    FileHandle file(fdopen(descriptor, "w"));
    if (!file) {
        close(descriptor);
        unlink(partial.c_str());
        return false;
    }
    bool ok = fchmod(descriptor, mode_for(exists, existing)) == 0 && write(file.get());
    // On disk before the rename: a crash then leaves the old file or the new one, never
    // an empty one.
    ok = ok && std::fflush(file.get()) == 0 && fsync(descriptor) == 0;
    ok = std::fclose(file.release()) == 0 && ok;
    if (!ok || std::rename(partial.c_str(), name.c_str()) != 0) {
        unlink(partial.c_str());
        return false;
    }
    return true;
}

}  // namespace base
