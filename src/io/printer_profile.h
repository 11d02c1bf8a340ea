// The printer's settings in section "prn" of the program's .ini file. The file is read
// and edited line by line, so that a hand-edited file keeps its comments, blank lines,
// other sections and line ends when missing keys are added to it.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct PrinterSettings {
    int line_spacing = 150;  // line pitch in percent of the cell height
    int left_margin = 4;     // in cells
    int right_margin = 4;    // in cells
    int top_margin = 2;      // in lines
    int bottom_margin = 2;   // in lines
    int tab_width = 8;       // kept, not used by the layout
    std::string pdf_file;    // pages go to this PDF file instead of the printer
};

// An .ini file held as its lines, each with its own line end.
class ProfileFile {
public:
    explicit ProfileFile(std::string path);

    // The trimmed value of `key` in `section` (both without regard to case).
    std::optional<std::string> get(std::string_view section, std::string_view key) const;
    // Replaces the key's value, or adds the key at the end of its section (and the
    // section at the end of the file).
    void set(std::string_view section, std::string_view key, std::string_view value);
    // Writes the file back when something was set; false when that failed.
    bool save();

private:
    struct Entry {
        size_t line = 0;
        std::string value;
    };
    std::optional<Entry> find(std::string_view section, std::string_view key) const;
    // The line after which a key of `section` is added, or nothing without the section.
    std::optional<size_t> end_of_section(std::string_view section) const;

    std::string path_;
    std::vector<std::string> lines_;  // each ends in its own line end, the last maybe in none
    std::string line_end_ = "\n";     // for added lines: the file's own
    bool changed_ = false;
};

// Reads the "prn" keys, clamping each to its range and writing the missing ones
// with their defaults.
PrinterSettings read_printer_settings(const std::string& profile_path);
