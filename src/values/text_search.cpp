// instr's search. Strings are at most 255 bytes and sought strings mostly a few, so
// the search tests sixteen places at a time for the sought string's first and last
// bytes, and compares the bytes between only where both match.
#include "values/text_search.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

size_t instr_position(std::string_view text, std::string_view sought) {
    if (text.empty() || sought.size() > text.size()) return 0;
    if (sought.empty()) return 1;
    const char* const data = text.data();
    const size_t places = text.size() - sought.size() + 1;  // where a match may begin
    if (sought.size() == 1) {
        const void* found = std::memchr(data, sought[0], places);
        return found ? static_cast<size_t>(static_cast<const char*>(found) - data) + 1 : 0;
    }
    const size_t last = sought.size() - 1;
    // Whether the bytes between the first and the last match at `at`.
    const auto between_matches = [&](size_t at) {
        for (size_t k = 1; k < last; ++k)
            if (data[at + k] != sought[k]) return false;
        return true;
    };
    size_t at = 0;
#if defined(__SSE2__)
    const __m128i first_byte = _mm_set1_epi8(sought[0]);
    const __m128i last_byte = _mm_set1_epi8(sought[last]);
    // A block tests the places at .. at + 15, and reads up to the byte at + 15 + last:
    // blocks start below `blocks_end`, which also keeps those places below `places`.
    const size_t blocks_end = text.size() >= 16 + last ? text.size() - 16 - last + 1 : 0;
    for (; at < blocks_end; at += 16) {
        const __m128i firsts = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
        const __m128i lasts = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at + last));
        auto candidates = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_and_si128(_mm_cmpeq_epi8(firsts, first_byte), _mm_cmpeq_epi8(lasts, last_byte))));
        for (; candidates != 0; candidates &= candidates - 1) {
            const size_t place = at + static_cast<size_t>(__builtin_ctz(candidates));
            if (between_matches(place)) return place + 1;
        }
    }
#endif
    for (; at < places; ++at)
        if (data[at] == sought[0] && data[at + last] == sought[last] && between_matches(at)) return at + 1;
    return 0;
}
