// Fuzz harness for the evaluator alone: each input is one calculator line, evaluated
// and printed as the calculator and expression modes do.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_sandbox.h"
#include "interp/vmbas.h"
#include "prompt/calculator.h"

namespace {
constexpr size_t kMaxLineBytes = 255;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = (fuzz_sandbox::enter(), true);
    (void)ready;
    std::string line(reinterpret_cast<const char*>(data), std::min(size, kMaxLineBytes));
    line.resize(line.find('\0') == std::string::npos ? line.size() : line.find('\0'));
    {
        fuzz_sandbox::BreakTimer timer;
        C_VMBAS vm;
        calc_print(vm, line.c_str());
    }
    return 0;
}
