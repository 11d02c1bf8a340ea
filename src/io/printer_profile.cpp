// Reading and editing the .ini file, and the printer's "prn" keys with their ranges.
#include "io/printer_profile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "base/whole_file_writer.h"
#include "values/text_scan.h"

namespace {

std::string_view trim(std::string_view text) {
    while (!text.empty() && (is_blank(text.front()) || text.front() == '\r' || text.front() == '\n'))
        text.remove_prefix(1);
    while (!text.empty() && (is_blank(text.back()) || text.back() == '\r' || text.back() == '\n'))
        text.remove_suffix(1);
    return text;
}

// The name of a "[section]" line, or nothing for any other line. An editor may have
// put a byte-order mark before the first one.
std::optional<std::string_view> section_name(std::string_view line) {
    if (line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
    line = trim(line);
    if (line.size() < 2 || line.front() != '[') return std::nullopt;
    const size_t close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return trim(line.substr(1, close - 1));
}

bool is_comment(std::string_view line) {
    line = trim(line);
    return !line.empty() && (line.front() == ';' || line.front() == '#');
}

std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        const size_t next = end == std::string::npos ? text.size() : end + 1;
        lines.push_back(text.substr(start, next - start));
        start = next;
    }
    return lines;
}

void make_directories(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        mkdir(path.substr(0, slash).c_str(), 0755);
}

}  // namespace

ProfileFile::ProfileFile(std::string path) : path_(std::move(path)) {
    std::ifstream file(path_, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    lines_ = split_lines(text);
    if (!lines_.empty() && lines_.front().size() >= 2 && lines_.front().ends_with("\r\n")) line_end_ = "\r\n";
}

std::optional<ProfileFile::Entry> ProfileFile::find(std::string_view section, std::string_view key) const {
    bool inside = false;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (const auto name = section_name(lines_[i])) {
            inside = equals_nocase(*name, section);
            continue;
        }
        if (!inside || is_comment(lines_[i])) continue;
        const std::string_view line = lines_[i];
        const size_t equals = line.find('=');
        if (equals != std::string_view::npos && equals_nocase(trim(line.substr(0, equals)), key))
            return Entry{i, std::string(trim(line.substr(equals + 1)))};
    }
    return std::nullopt;
}

std::optional<size_t> ProfileFile::end_of_section(std::string_view section) const {
    std::optional<size_t> last;
    bool inside = false;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (const auto name = section_name(lines_[i])) {
            if (inside) break;
            inside = equals_nocase(*name, section);
            if (inside) last = i;
        } else if (inside && !trim(lines_[i]).empty()) {
            last = i;
        }
    }
    return last;
}

std::optional<std::string> ProfileFile::get(std::string_view section, std::string_view key) const {
    const auto entry = find(section, key);
    if (!entry) return std::nullopt;
    return entry->value;
}

void ProfileFile::set(std::string_view section, std::string_view key, std::string_view value) {
    const std::string line = std::string(key) + "=" + std::string(value) + line_end_;
    changed_ = true;
    if (const auto entry = find(section, key)) {
        lines_[entry->line] = line;
        return;
    }
    // The line before the new one must be ended first.
    auto end_line = [this](size_t index) {
        if (!lines_[index].ends_with('\n')) lines_[index] += line_end_;
    };
    if (const auto last = end_of_section(section)) {
        end_line(*last);
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(*last + 1), line);
        return;
    }
    if (!lines_.empty()) end_line(lines_.size() - 1);
    lines_.push_back("[" + std::string(section) + "]" + line_end_);
    lines_.push_back(line);
}

bool ProfileFile::save() {
    if (!changed_) return true;
    if (path_.empty()) return false;  // no home directory to keep the file in
    make_directories(path_);
    const bool ok = base::write_whole_file(path_, [this](std::FILE* file) {
        for (const std::string& line : lines_)
            if (std::fwrite(line.data(), 1, line.size(), file) != line.size()) return false;
        return true;
    });
    changed_ = !ok;
    return ok;
}

namespace {

struct IntegerKey {
    const char* name;
    int PrinterSettings::*field;
    int low, high;
};

constexpr IntegerKey kKeys[] = {
    {"LINESPC", &PrinterSettings::line_spacing, 100, 1000}, {"LEFTMGN", &PrinterSettings::left_margin, 0, 20},
    {"RIGHTMGN", &PrinterSettings::right_margin, 0, 20},    {"UPMGN", &PrinterSettings::top_margin, 0, 10},
    {"DOWNMGN", &PrinterSettings::bottom_margin, 0, 10},    {"TABWID", &PrinterSettings::tab_width, 1, 10},
};

// A decimal value as strtol reads it (digits after a sign; what follows is ignored),
// clamped to its range.
int clamped_value(const std::string& text, int low, int high) {
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long long>(value, low, high));
}

}  // namespace

PrinterSettings read_printer_settings(const std::string& profile_path) {
    ProfileFile profile(profile_path);
    PrinterSettings settings;
    for (const IntegerKey& key : kKeys) {
        const auto text = profile.get("prn", key.name);
        if (text && !text->empty()) {
            settings.*key.field = clamped_value(*text, key.low, key.high);
        } else {
            profile.set("prn", key.name, std::to_string(settings.*key.field));
        }
    }
    if (auto pdf_file = profile.get("prn", "PDFFILE")) {
        std::string_view name = *pdf_file;
        if (name.size() >= 2 && name.front() == '"' && name.back() == '"') name = name.substr(1, name.size() - 2);
        settings.pdf_file = name;
    }
    profile.save();  // without a writable file the defaults are still used
    return settings;
}
