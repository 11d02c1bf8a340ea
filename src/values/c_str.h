// The string value: a byte string of at most 255 bytes, in the console code page.
#pragma once
#include <string>
#include <string_view>

class C_STR {
public:
    static constexpr size_t kMaxLength = 255;

    C_STR() = default;
    explicit C_STR(std::string_view bytes) { assign(bytes); }

    // Stores at most 255 bytes; longer text is cut silently.
    void assign(std::string_view bytes) { text_.assign(bytes.substr(0, std::min(bytes.size(), kMaxLength))); }
    void clear() { text_.clear(); }

    // Appends when the result fits in 255 bytes; returns false (and changes nothing) otherwise.
    bool append(std::string_view bytes) {
        if (text_.size() + bytes.size() > kMaxLength) return false;
        text_.append(bytes);
        return true;
    }

    std::string_view view() const { return text_; }
    const char* c_str() const { return text_.c_str(); }
    size_t length() const { return text_.size(); }
    bool empty() const { return text_.empty(); }
    char* data() { return text_.data(); }

    void swap(C_STR& other) noexcept { text_.swap(other.text_); }

private:
    std::string text_;
};
