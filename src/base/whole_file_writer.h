// Writing a file so that it is replaced only once all of it has been written: a full
// disk or a failed write never leaves half a file behind.
#pragma once
#include <cstdio>
#include <functional>
#include <string>

namespace base {

// Creates or replaces `name` with what `write` puts into the stream it is given;
// `write` returns false when a write failed. False when the file could not be
// created or written; an existing file then stays as it was.
bool write_whole_file(const std::string& name, const std::function<bool(std::FILE*)>& write);

}  // namespace base
