// The variable store: scalars and arrays of up to four dimensions, found by name
// without regard to case. Newer records hide older ones of the same name, which is how
// function parameters shadow variables for the length of a call.
#pragma once
#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "values/c_str.h"
#include "values/complex.h"
#include "values/text_scan.h"

inline constexpr int kMaxDimensions = 4;
inline constexpr int kMaxSubscript = 100000;

struct PCVAR {
    std::string name;  // with its suffix, as first written
    int type = VT_COMPLEX;
    C_STR string_value;
    Complex value;
    int dimension_count = 0;
    std::array<int32_t, kMaxDimensions> dimension_sizes{};
    std::vector<Complex> numeric_elements;  // of an integer array, whole: every store makes them so
    std::vector<C_STR> string_elements;
    size_t shadowed = kNone;  // the record of the same name that this one hides

    static constexpr size_t kNone = static_cast<size_t>(-1);

    bool has_array() const { return dimension_count > 0; }
    void erase_array();
};

class VariableStore {
public:
    PCVAR* find(std::string_view name) const;
    // A new record for `name` that hides any older one; null when memory runs out.
    PCVAR* create(std::string_view name);
    PCVAR* find_or_create(std::string_view name);

    // Records created after `mark()` can be dropped again with `release_to`.
    size_t mark() const { return records_.size(); }
    void release_to(size_t mark) {
        if (records_.size() > mark) drop_to(mark);
    }
    void clear();

    const std::vector<std::unique_ptr<PCVAR>>& records() const { return records_; }
    // Changes whenever a name may stand for another record than before (records
    // dropped or hidden), so that a record found earlier by name must be found again.
    uint64_t generation() const { return generation_; }

private:
    void drop_to(size_t mark);

    std::vector<std::unique_ptr<PCVAR>> records_;
    uint64_t generation_ = 1;
    std::unordered_map<std::string, size_t, NoCaseHash, NoCaseEqual> newest_;
};
