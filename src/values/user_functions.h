// User-defined functions: "def fn" with up to ten parameters and a body kept as
// source text, re-evaluated at every call with the parameters bound as variables.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "values/c_str.h"
#include "values/complex.h"

struct EvalContext;

inline constexpr int kMaxParameters = 10;

struct UserFunction {
    std::string name;  // with its suffix, beginning with "fn"
    std::array<std::string, kMaxParameters> parameter_names;
    std::array<int, kMaxParameters> parameter_types{};
    int parameter_count = 0;
    std::string body;
    // Unique to this definition: a new def of the same name gets a new number, so a
    // graph's cached values can tell whether they still belong to the function.
    uint64_t serial = 0;

    int type() const;
};

// How deep calls are nested now, and whether one of them met the limit, which stops
// the calls above it too.
struct CallNesting {
    int depth = 0;
    bool exhausted = false;
};

class UserFunctions {
public:
    CallNesting nesting;

    const UserFunction* find(std::string_view name) const;
    void define(std::unique_ptr<UserFunction> function);
    void clear() {
        functions_.clear();
        ++generation_;
    }
    // Changes with every definition: code that found a function by name must look again.
    uint64_t generation() const { return generation_; }

private:
    std::vector<std::unique_ptr<UserFunction>> functions_;
    uint64_t generation_ = 0;
    uint64_t next_serial_ = 1;
};

enum class CallResult { NotAFunction, Failed, Done };

// A call at a name beginning with "fn"; exactly one of the result slots is written,
// by the function's type.
CallResult call_fn(EvalContext& vm, const char*& p, Complex* number, C_STR* string);
