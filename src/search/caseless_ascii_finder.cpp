#include "search/caseless_ascii_finder.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Search {

namespace {

bool IsAsciiLetter(uint8_t b) {
    return (b | 0x20) >= 'a' && (b | 0x20) <= 'z';
}

uint8_t LetterMask(uint8_t b) {
    return IsAsciiLetter(b) ? 0x20 : 0;
}

uint8_t Lower(uint8_t b) {
    return static_cast<uint8_t>(b | LetterMask(b));
}

} // namespace

CaselessAsciiFinder::CaselessAsciiFinder(std::string_view needle) : needle_(needle) {
    for (char& c : needle_) {
        c = static_cast<char>(Lower(static_cast<uint8_t>(c)));
    }
    firstMask_ = LetterMask(static_cast<uint8_t>(needle_.front()));
    lastMask_ = LetterMask(static_cast<uint8_t>(needle_.back()));
}

bool CaselessAsciiFinder::MatchesAt(const uint8_t* p) const {
    const auto* q = reinterpret_cast<const uint8_t*>(needle_.data());
    for (size_t i = 0; i < needle_.size(); ++i) {
        if ((p[i] | LetterMask(q[i])) != q[i]) {
            return false;
        }
    }
    return true;
}

bool CaselessAsciiFinder::FoundIn(std::string_view text) const {
    if (text.size() < needle_.size()) {
        return false;
    }
    const auto* p = reinterpret_cast<const uint8_t*>(text.data());
#if defined(__SSE2__)
    return ScanSse2(p, text.size());
#else
    return ScanPortable(p, text.size());
#endif
}

// Tests every start position from 0 to n - needle length (n >= needle length).
bool CaselessAsciiFinder::ScanPortable(const uint8_t* p, size_t n) const {
    const auto first = static_cast<uint8_t>(needle_.front());
    const auto last = static_cast<uint8_t>(needle_.back());
    const size_t lastOffset = needle_.size() - 1;
    for (size_t i = 0; i + lastOffset < n; ++i) {
        if ((p[i] | firstMask_) == first && (p[i + lastOffset] | lastMask_) == last &&
            MatchesAt(p + i)) {
            return true;
        }
    }
    return false;
}

#if defined(__SSE2__)
bool CaselessAsciiFinder::ScanSse2(const uint8_t* p, size_t n) const {
    const size_t lastOffset = needle_.size() - 1;
    const __m128i first = _mm_set1_epi8(static_cast<char>(needle_.front()));
    const __m128i last = _mm_set1_epi8(static_cast<char>(needle_.back()));
    const __m128i firstMask = _mm_set1_epi8(static_cast<char>(firstMask_));
    const __m128i lastMask = _mm_set1_epi8(static_cast<char>(lastMask_));
    size_t i = 0;
    // Each round tests the 16 start positions i .. i + 15.
    for (; i + lastOffset + 16 <= n; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + lastOffset));
        const __m128i hit = _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(a, firstMask), first),
                                          _mm_cmpeq_epi8(_mm_or_si128(b, lastMask), last));
        auto bits = static_cast<unsigned>(_mm_movemask_epi8(hit));
        while (bits != 0) {
            const auto bit = static_cast<size_t>(__builtin_ctz(bits));
            if (MatchesAt(p + i + bit)) {
                return true;
            }
            bits &= bits - 1;
        }
    }
    return ScanPortable(p + i, n - i);
}
#endif

} // namespace Search
