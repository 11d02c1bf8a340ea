// The history of lines typed at the terminal, kept between sessions in a file. Every
// line is saved as it is entered, under a lock and by replacing the file whole, so
// that two interpreters at once keep all their lines and a crash never truncates it.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace line_history {

inline constexpr size_t kMaxLines = 1000;

// Gives the line editor the lines saved in `path` and saves every line added from now
// on there too. An empty path keeps the history for this session only.
void open(const std::string& path);

// Adds an entered line to the line editor's history and, once open, to the file.
void add(const char* line);

// The file's last kMaxLines lines; none when it cannot be read.
std::vector<std::string> read_lines(const std::string& path);

// Appends `line` to the file, keeping its last kMaxLines lines; false when the file or
// its directory cannot be written (the file then stays as it was).
bool append_line(const std::string& path, std::string_view line);

}  // namespace line_history
