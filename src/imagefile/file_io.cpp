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

#include "base/diagnostics.h"
#include "base/file_handle.h"
#include "base/whole_file_writer.h"
#include "imagefile/limits.h"

namespace imagefile {
namespace {

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

bool write_all(std::FILE* file, ByteSpan bytes) {
    return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

bool append_to(const std::string& path, ByteSpan bytes) {
    base::FileHandle file(std::fopen(path.c_str(), "ab"));
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
    if (base::write_whole_file(path, [bytes](std::FILE* file) { return write_all(file, bytes); })) return true;
    ZOV_REPORT("ファイル作成失敗");
    return false;
}

}  // namespace imagefile
