// The function values of the last 3D graph, kept so that turning the graph or drawing
// the second panel of a pair does not evaluate the function again. The values belong
// to one definition of the function, one set of ranges, one panel size and one type.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "graphics/graph_settings.h"
#include "values/complex.h"

struct GraphCacheKey {
    uint64_t definition = 0;  // the function definition's serial number
    GraphRange x, y, z;
    int64_t side = 0;
    int type = -1;
};

bool operator==(const GraphCacheKey& a, const GraphCacheKey& b);

struct GraphSample {
    Complex value;
    bool failed = true;  // the evaluation failed: no point here
};

class GraphCache {
public:
    // True when every value for `key` is held.
    bool holds(const GraphCacheKey& key) const { return complete_ && key == key_; }
    // Makes room for `count` values of `key` that are about to be computed; false (and
    // nothing held) when the memory cannot be had.
    bool prepare(const GraphCacheKey& key, size_t count);
    GraphSample& operator[](size_t i) { return samples_[i]; }
    // The height step (0..M) at which sample i is plotted, for the real part (part 0)
    // and the imaginary part (part 1), or kNoLevel. The key fixes the z range and M,
    // so the steps are worked out once, with the values, and a redraw only projects.
    static constexpr int16_t kNoLevel = -1;
    int16_t* levels(int part) { return levels_[part].data(); }
    // All values for the prepared key are in; until then nothing counts as held.
    void complete() { complete_ = true; }

private:
    void release();

    GraphCacheKey key_;
    bool complete_ = false;
    std::vector<GraphSample> samples_;
    std::vector<int16_t> levels_[2];
};
