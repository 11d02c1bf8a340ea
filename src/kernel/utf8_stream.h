// Output bytes made into text a notebook can take: valid UTF-8 only, with a character
// cut between two pieces of output kept whole.
#pragma once
#include <string>
#include <string_view>

class Utf8Stream {
public:
    // The text of `bytes` after what an earlier piece left unfinished; a byte that
    // starts no character (a program may print any byte) becomes U+FFFD.
    std::string take(std::string_view bytes);
    // What is left unfinished, as U+FFFD, at the end of the output.
    std::string finish();

private:
    std::string pending_;
};

// A whole text made valid.
std::string valid_utf8(std::string_view bytes);
