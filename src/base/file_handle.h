// An owned stdio stream, closed when its owner goes. Where the result of fclose matters
// (a write that must be known to have reached the file), release it and close by hand.
#pragma once
#include <cstdio>
#include <memory>

namespace base {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace base
