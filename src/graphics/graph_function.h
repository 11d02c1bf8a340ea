// A user function as a graph samples it: its parameters bound once as fresh variables
// that hide any program variable of the same name, set anew for every point, and
// removed again when the graph is done. A point where the body fails is only a gap:
// its message is dropped.
#pragma once
#include <optional>

#include "values/complex.h"

class C_VMBAS;
struct UserFunction;
struct PCVAR;

// Finds the function named at `p` (FN and a name with an optional suffix); null, with
// `p` unmoved, when there is no such name or no numeric function of that name.
const UserFunction* scan_graph_function(C_VMBAS& vm, const char*& p);

// True when the function takes exactly `count` numeric parameters.
bool has_numeric_parameters(const UserFunction& function, int count);

class SampledFunction {
public:
    // Binds the first `count` parameters; check bound() before use.
    SampledFunction(C_VMBAS& vm, const UserFunction& function, int count);
    ~SampledFunction();
    SampledFunction(const SampledFunction&) = delete;
    SampledFunction& operator=(const SampledFunction&) = delete;

    // False when a parameter could not be made (its message is set).
    bool bound() const { return bound_; }
    void set(int k, Complex value);
    // The body's value with the parameters as set; nothing where it fails.
    std::optional<Complex> evaluate();

private:
    C_VMBAS& vm_;
    const char* body_;
    size_t mark_;
    bool message_before_;
    bool bound_ = true;
    PCVAR* parameters_[2] = {nullptr, nullptr};
};
