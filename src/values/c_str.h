// The string value: a byte string of at most 255 bytes, in the console code page.
#pragma once
#include <algorithm>
#include <string>
#include <string_view>

class C_STR {
public:
    static constexpr size_t kMaxLength = 255;

    // The bytes that a string keeps of `bytes`: at most 255, longer text cut silently.
    static std::string_view clipped(std::string_view bytes) { return bytes.substr(0, std::min(bytes.size(), kMaxLength)); }
    // Whether a string of `length` bytes can be held: joins that would be longer fail.
    static constexpr bool fits(size_t length) { return length <= kMaxLength; }

    C_STR() = default;
    explicit C_STR(std::string_view bytes) { assign(bytes); }

    void assign(std::string_view bytes) { text_.assign(clipped(bytes)); }
    void clear() { text_.clear(); }

    // Appends when the result fits in 255 bytes; returns false (and changes nothing) otherwise.
    bool append(std::string_view bytes) {
        if (!fits(text_.size() + bytes.size())) return false;
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
