// Tab at the prompt completes statement keywords, function names and the program's
// variable names; inside a string literal it completes file names.
#pragma once
#include <string>
#include <string_view>
#include <vector>

class C_VMBAS;

namespace completion {

// Makes the line editor complete from these words and from `vm`'s program and variables.
void attach(const C_VMBAS& vm);

// The words that complete `prefix` (compared without regard to case), sorted, each
// spelt from the prefix on; functions end in "(". A prefix in capitals gets capitals.
std::vector<std::string> candidates(const C_VMBAS& vm, std::string_view prefix);

}  // namespace completion
