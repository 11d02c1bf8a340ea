// Reading a picture file once its first bytes are wanted, and writing one under a
// temporary name first.
#include "imagefile/file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "imagefile/limits.h"
#include "zov/diagnostics.h"

namespace imagefile {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::string directory_of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

class Descriptor {
public:
    explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
    ~Descriptor() {
        if (descriptor_ >= 0) close(descriptor_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    explicit operator bool() const { return descriptor_ >= 0; }
    int get() const { return descriptor_; }

private:
    int descriptor_;
};

// Reads into `bytes` from `got` on until `end` bytes are there or the file ends.
bool read_up_to(int descriptor, Bytes& bytes, std::size_t& got, std::size_t end) {
    while (got < end) {
        const ssize_t count = read(descriptor, bytes.data() + got, end - got);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) {
            ZOV_REPORT("fread 失敗");
            return false;
        }
        if (count == 0) break;
        got += std::size_t(count);
    }
    return true;
}

mode_t mode_for_new_file() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

bool write_all(std::FILE* file, ByteSpan bytes) {
    return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

// Links, devices and pipes are written through: replacing them would change what the
// name stands for.
bool write_in_place(const std::string& path, ByteSpan bytes) {
    File file(std::fopen(path.c_str(), "wb"));
    if (!file) return false;
    const bool written = write_all(file.get(), bytes);
    return std::fclose(file.release()) == 0 && written;
}

bool append_to(const std::string& path, ByteSpan bytes) {
    File file(std::fopen(path.c_str(), "ab"));
    if (!file) return false;
    const long old_length = std::ftell(file.get());
    const bool written = write_all(file.get(), bytes) && std::fflush(file.get()) == 0;
    if (!written && old_length >= 0 && ftruncate(fileno(file.get()), old_length) != 0) {
        ZOV_REPORT("ftruncate 失敗");
    }
    return std::fclose(file.release()) == 0 && written;
}

}  // namespace

std::optional<Bytes> read_file(const std::string& path, const std::function<bool(ByteSpan head)>& wanted) {
    // Opening a pipe without O_NONBLOCK would wait for a writer.
    const Descriptor descriptor(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (!descriptor || fstat(descriptor.get(), &status) != 0) {
        ZOV_REPORT("fopen 失敗");
        return std::nullopt;
    }
    if (!S_ISREG(status.st_mode) || uint64_t(status.st_size) > kMaxFileBytes) {
        ZOV_REPORT("画像ファイルではない");
        return std::nullopt;
    }
    const std::size_t size = std::size_t(status.st_size);
    Bytes bytes(std::min(size, kHeadBytes));
    std::size_t got = 0;
    if (!read_up_to(descriptor.get(), bytes, got, bytes.size())) return std::nullopt;
    if (!wanted(ByteSpan(bytes.data(), got))) {
        ZOV_REPORT("画像形式が不明");
        return std::nullopt;
    }
    try {
        bytes.resize(size);
    } catch (const std::bad_alloc&) {
        ZOV_REPORT("メモリ不足");
        return std::nullopt;
    }
    if (!read_up_to(descriptor.get(), bytes, got, size)) return std::nullopt;
    // A file cut shorter while it was read ends where its data ended.
    bytes.resize(got);
    return bytes;
}

bool write_file(const std::string& path, ByteSpan bytes, bool append) {
    if (append) return append_to(path, bytes);
    struct stat existing {};
    const bool exists = lstat(path.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) return write_in_place(path, bytes);
    std::string partial = directory_of(path) + "/.velmora-image-XXXXXX";
    const int descriptor = mkstemp(partial.data());
    // A folder that takes no new files may still hold a writable file of that name.
    if (descriptor < 0) return write_in_place(path, bytes);
    File file(fdopen(descriptor, "wb"));
    if (!file) {
        close(descriptor);
        unlink(partial.c_str());
        return false;
    }
    const mode_t mode = exists ? existing.st_mode & 07777 : mode_for_new_file();
    bool ok = fchmod(descriptor, mode) == 0 && write_all(file.get(), bytes);
    ok = std::fclose(file.release()) == 0 && ok;
    if (!ok || std::rename(partial.c_str(), path.c_str()) != 0) {
        unlink(partial.c_str());
        ZOV_REPORT("ファイル作成失敗");
        return false;
    }
    return true;
}

}  // namespace imagefile
