// Reading a picture file whole, and writing one under a temporary name first.
#include "imagefile/file_io.h"

#include <cstdio>
#include <memory>
#include <new>

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

std::optional<Bytes> read_file(const std::string& path) {
    File file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        ZOV_REPORT("fopen 失敗");
        return std::nullopt;
    }
    Bytes bytes;
    try {
        constexpr std::size_t kChunk = 1 << 16;
        for (;;) {
            const std::size_t old_size = bytes.size();
            if (old_size > kMaxFileBytes) {
                ZOV_REPORT("ファイルが大きすぎる");
                return std::nullopt;
            }
            bytes.resize(old_size + kChunk);
            const std::size_t got = std::fread(bytes.data() + old_size, 1, kChunk, file.get());
            bytes.resize(old_size + got);
            if (got < kChunk) break;
        }
    } catch (const std::bad_alloc&) {
        ZOV_REPORT("メモリ不足");
        return std::nullopt;
    }
    if (std::ferror(file.get())) {
        ZOV_REPORT("fread 失敗");
        return std::nullopt;
    }
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
