// Whole picture files in and out of memory. Writing never leaves half a file: a new
// file is written beside the target and renamed over it once complete.
#pragma once
#include <optional>
#include <string>

#include "imagefile/dib.h"

namespace imagefile {

// The file's bytes, or none when it cannot be read or is larger than kMaxFileBytes.
std::optional<Bytes> read_file(const std::string& path);

// Creates or replaces the file with `bytes`; with `append`, adds them to its end and
// cuts a failed append back to the old length. False on any failure, which leaves
// the old file (or none) behind.
bool write_file(const std::string& path, ByteSpan bytes, bool append);

}  // namespace imagefile
