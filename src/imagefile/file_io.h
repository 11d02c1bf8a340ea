// Whole picture files in and out of memory. Reading looks at a file's first bytes
// before it takes the rest; writing never leaves half a file: a new file is written
// beside the target and renamed over it once complete.
#pragma once
#include <functional>
#include <optional>
#include <string>

#include "imagefile/dib.h"

namespace imagefile {

// Enough of a file's beginning to tell each format by it.
constexpr std::size_t kHeadBytes = 4096;

// The file's bytes, or none when it cannot be read, is no regular file (a device, a
// pipe, a folder: refused before anything is read from it), is larger than
// kMaxFileBytes, or `wanted` refuses its first kHeadBytes (all of it when shorter).
std::optional<Bytes> read_file(const std::string& path, const std::function<bool(ByteSpan head)>& wanted);

// Creates or replaces the file with `bytes`; with `append`, adds them to its end and
// cuts a failed append back to the old length. False on any failure, which leaves
// the old file (or none) behind.
bool write_file(const std::string& path, ByteSpan bytes, bool append);

}  // namespace imagefile
