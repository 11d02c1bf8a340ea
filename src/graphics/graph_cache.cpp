// The 3D graph value cache.
#include "graphics/graph_cache.h"

#include <new>
#include <stdexcept>

namespace {

bool same_range(const GraphRange& a, const GraphRange& b) { return a.min == b.min && a.max == b.max; }

}  // namespace

bool operator==(const GraphCacheKey& a, const GraphCacheKey& b) {
    return a.definition == b.definition && same_range(a.x, b.x) && same_range(a.y, b.y) && same_range(a.z, b.z) &&
           a.side == b.side && a.type == b.type;
}

void GraphCache::release() {
    samples_ = {};
    for (auto& levels : levels_) levels = {};
}

bool GraphCache::prepare(const GraphCacheKey& key, size_t count) {
    complete_ = false;
    try {
        samples_.assign(count, GraphSample{});
        for (auto& levels : levels_) levels.assign(count, kNoLevel);
    } catch (const std::bad_alloc&) {
        release();
        return false;
    } catch (const std::length_error&) {
        release();
        return false;
    }
    key_ = key;
    return true;
}
