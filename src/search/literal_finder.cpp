#include "search/literal_finder.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace scanvale::Search {

namespace {

bool IsAsciiLetter(uint8_t b) {
    return (b | 0x20) >= 'a' && (b | 0x20) <= 'z';
}

// How common a byte is in ordinary text, higher for more common; only the order matters.
// Letters follow their frequency in English, without regard to case.
int Commonness(uint8_t b) {
    static constexpr std::string_view ByFrequency = "zqjxkvbpygfwmucldrhsnioate";
    if (b == ' ' || b == '\n') {
        return 100;
    }
    if (IsAsciiLetter(b)) {
        return 60 + static_cast<int>(ByFrequency.find(static_cast<char>(b | 0x20)));
    }
    return b < 0x80 ? 40 : 20;
}

// The kernel scans use: the fastest this machine runs, or the one a test chose. Read once per
// scan, never per byte.
std::atomic<LiteralFinder::Kernel>& ActiveKernel() {
    static std::atomic<LiteralFinder::Kernel> active{LiteralFinder::Kernels().back()};
    return active;
}

} // namespace

std::vector<LiteralFinder::Kernel> LiteralFinder::Kernels() {
#if defined(__x86_64__)
    // The features must have been read, which a static constructor may not yet find done.
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) {
        return {Kernel::Portable, Kernel::Sse2, Kernel::Avx2};
    }
    return {Kernel::Portable, Kernel::Sse2};
#else
    return {Kernel::Portable};
#endif
}

LiteralFinder::Kernel LiteralFinder::UseKernel(Kernel kernel) {
    const std::vector<Kernel> runnable = Kernels();
    if (std::find(runnable.begin(), runnable.end(), kernel) == runnable.end()) {
        std::abort();
    }
    return ActiveKernel().exchange(kernel, std::memory_order_relaxed);
}

LiteralFinder::LiteralFinder(std::string_view needle, bool caseless)
    : needle_(needle), caseless_(caseless) {
    auto anchorAt = [&](size_t offset) {
        auto b = static_cast<uint8_t>(needle_[offset]);
        const uint8_t mask = caseless_ && IsAsciiLetter(b) ? 0x20 : 0;
        return Anchor{offset, static_cast<uint8_t>(b | mask), mask};
    };
    if (caseless_) {
        for (char& c : needle_) {
            const auto b = static_cast<uint8_t>(c);
            c = static_cast<char>(IsAsciiLetter(b) ? b | 0x20 : b);
        }
    }
    // The rarest byte, then the rarest other one; the second anchor lies after the first.
    size_t rarest = 0;
    for (size_t i = 1; i < needle_.size(); ++i) {
        if (Commonness(static_cast<uint8_t>(needle_[i])) <
            Commonness(static_cast<uint8_t>(needle_[rarest]))) {
            rarest = i;
        }
    }
    size_t other = rarest == 0 ? needle_.size() - 1 : 0;
    for (size_t i = 0; i < needle_.size(); ++i) {
        if (i != rarest && Commonness(static_cast<uint8_t>(needle_[i])) <
                               Commonness(static_cast<uint8_t>(needle_[other]))) {
            other = i;
        }
    }
    first_ = anchorAt(rarest < other ? rarest : other);
    second_ = anchorAt(rarest < other ? other : rarest);
}

bool LiteralFinder::MatchesAt(const uint8_t* p) const {
    if (!caseless_) {
        return std::memcmp(p, needle_.data(), needle_.size()) == 0;
    }
    const auto* q = reinterpret_cast<const uint8_t*>(needle_.data());
    for (size_t i = 0; i < needle_.size(); ++i) {
        if ((p[i] | (IsAsciiLetter(q[i]) ? 0x20 : 0)) != q[i]) {
            return false;
        }
    }
    return true;
}

bool LiteralFinder::FoundIn(std::string_view text, bool* nonAscii) const {
    const auto* p = reinterpret_cast<const uint8_t*>(text.data());
    if (text.size() < needle_.size()) {
        if (nonAscii != nullptr) {
            *nonAscii = HasNonAscii(text);
        }
        return false;
    }
#if defined(__x86_64__)
    const Kernel kernel = ActiveKernel().load(std::memory_order_relaxed);
    if (kernel == Kernel::Avx2) {
        if (caseless_) {
            return nonAscii != nullptr ? ScanAvx2<true, true>(p, text.size(), nonAscii)
                                       : ScanAvx2<true, false>(p, text.size(), nonAscii);
        }
        return nonAscii != nullptr ? ScanAvx2<false, true>(p, text.size(), nonAscii)
                                   : ScanAvx2<false, false>(p, text.size(), nonAscii);
    }
    if (kernel == Kernel::Sse2) {
        return ScanSse2(p, text.size(), nonAscii);
    }
#endif
    return ScanPortable(p, 0, text.size(), nonAscii);
}

bool LiteralFinder::HasNonAscii(std::string_view text) {
    const auto* p = reinterpret_cast<const uint8_t*>(text.data());
    const size_t n = text.size();
    size_t i = 0;
#if defined(__x86_64__)
    if (ActiveKernel().load(std::memory_order_relaxed) != Kernel::Portable) {
        for (; i + 64 <= n; i += 64) {
            const auto* q = reinterpret_cast<const __m128i*>(p + i);
            const __m128i any =
                _mm_or_si128(_mm_or_si128(_mm_loadu_si128(q), _mm_loadu_si128(q + 1)),
                             _mm_or_si128(_mm_loadu_si128(q + 2), _mm_loadu_si128(q + 3)));
            if (_mm_movemask_epi8(any) != 0) {
                return true;
            }
        }
    }
#endif
    for (; i < n; ++i) {
        if (p[i] >= 0x80) {
            return true;
        }
    }
    return false;
}

// Tests the start positions from `from` to n - needle length.
bool LiteralFinder::ScanPortable(const uint8_t* p, size_t from, size_t n, bool* nonAscii) const {
    for (size_t i = from; i + needle_.size() <= n; ++i) {
        if ((p[i + first_.offset] | first_.mask) == first_.value &&
            (p[i + second_.offset] | second_.mask) == second_.value && MatchesAt(p + i)) {
            return true;
        }
    }
    if (nonAscii != nullptr) {
        *nonAscii = HasNonAscii({reinterpret_cast<const char*>(p + from), n - from});
    }
    return false;
}

#if defined(__x86_64__)
// Each round tests the 16 start positions i .. i + 15; the loads stay inside the text. The
// first anchor's loads cover the bytes from its offset on, which also answers `nonAscii`.
bool LiteralFinder::ScanSse2(const uint8_t* p, size_t n, bool* nonAscii) const {
    const __m128i v1 = _mm_set1_epi8(static_cast<char>(first_.value));
    const __m128i m1 = _mm_set1_epi8(static_cast<char>(first_.mask));
    const __m128i v2 = _mm_set1_epi8(static_cast<char>(second_.value));
    const __m128i m2 = _mm_set1_epi8(static_cast<char>(second_.mask));
    __m128i seen = _mm_setzero_si128();
    size_t i = 0;
    for (; i + needle_.size() + 15 <= n; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + first_.offset));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + second_.offset));
        seen = _mm_or_si128(seen, a);
        const __m128i hit = _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(a, m1), v1),
                                          _mm_cmpeq_epi8(_mm_or_si128(b, m2), v2));
        for (auto bits = static_cast<unsigned>(_mm_movemask_epi8(hit)); bits != 0;
             bits &= bits - 1) {
            if (MatchesAt(p + i + static_cast<size_t>(__builtin_ctz(bits)))) {
                return true;
            }
        }
    }
    if (ScanPortable(p, i, n, nonAscii)) {
        return true;
    }
    if (nonAscii != nullptr && !*nonAscii) {
        const size_t head = std::min(first_.offset, i);
        *nonAscii =
            _mm_movemask_epi8(seen) != 0 || HasNonAscii({reinterpret_cast<const char*>(p), head});
    }
    return false;
}

// Each round tests the 64 start positions i .. i + 63 with one branch; the loads stay inside
// the text. Returns the first round from `i` on where both anchors matched, with the matching
// positions as bits, or the end of the whole rounds with no bits. A leaf without calls, so the
// constants and the gathered high bytes stay in registers. The case folding of the anchors and
// the gathering of high bytes are compiled out where they are not wanted: the exact scan does
// no more than two compares per anchor and 32 bytes, several times faster than the kernel
// copies a block in.
template <bool Caseless, bool Track>
size_t LiteralFinder::NextRoundAvx2(const uint8_t* p, size_t i, size_t n, uint64_t& bits,
                                    bool& high) const {
    const __m256i v1 = _mm256_set1_epi8(static_cast<char>(first_.value));
    const __m256i m1 = _mm256_set1_epi8(static_cast<char>(first_.mask));
    const __m256i v2 = _mm256_set1_epi8(static_cast<char>(second_.value));
    const __m256i m2 = _mm256_set1_epi8(static_cast<char>(second_.mask));
    const uint8_t* first = p + first_.offset;
    const uint8_t* second = p + second_.offset;
    __m256i seen = _mm256_setzero_si256();
    bits = 0;
    for (; i + needle_.size() + 63 <= n; i += 64) {
        const auto* a = reinterpret_cast<const __m256i*>(first + i);
        const auto* b = reinterpret_cast<const __m256i*>(second + i);
        __m256i a0 = _mm256_loadu_si256(a);
        __m256i a1 = _mm256_loadu_si256(a + 1);
        __m256i b0 = _mm256_loadu_si256(b);
        __m256i b1 = _mm256_loadu_si256(b + 1);
        if constexpr (Track) {
            seen = _mm256_or_si256(seen, _mm256_or_si256(a0, a1));
        }
        if constexpr (Caseless) {
            a0 = _mm256_or_si256(a0, m1);
            a1 = _mm256_or_si256(a1, m1);
            b0 = _mm256_or_si256(b0, m2);
            b1 = _mm256_or_si256(b1, m2);
        }
        const __m256i hit0 = _mm256_and_si256(_mm256_cmpeq_epi8(a0, v1), _mm256_cmpeq_epi8(b0, v2));
        const __m256i hit1 = _mm256_and_si256(_mm256_cmpeq_epi8(a1, v1), _mm256_cmpeq_epi8(b1, v2));
        const __m256i any = _mm256_or_si256(hit0, hit1);
        if (_mm256_testz_si256(any, any) == 0) {
            bits = static_cast<uint32_t>(_mm256_movemask_epi8(hit0)) |
                   uint64_t{static_cast<uint32_t>(_mm256_movemask_epi8(hit1))} << 32;
            break;
        }
    }
    if constexpr (Track) {
        high = high || _mm256_movemask_epi8(seen) != 0;
    }
    return i;
}

template <bool Caseless, bool Track>
bool LiteralFinder::ScanAvx2(const uint8_t* p, size_t n, bool* nonAscii) const {
    bool high = false;
    size_t i = 0;
    for (;; i += 64) {
        uint64_t bits = 0;
        i = NextRoundAvx2<Caseless, Track>(p, i, n, bits, high);
        if (bits == 0) {
            break;
        }
        for (; bits != 0; bits &= bits - 1) {
            if (MatchesAt(p + i + static_cast<size_t>(__builtin_ctzll(bits)))) {
                return true;
            }
        }
    }
    if (ScanPortable(p, i, n, nonAscii)) {
        return true;
    }
    if constexpr (Track) {
        // The rounds saw the bytes from the first anchor's offset on, the tail those from i on.
        if (!*nonAscii) {
            const size_t head = std::min(first_.offset, i);
            *nonAscii = high || HasNonAscii({reinterpret_cast<const char*>(p), head});
        }
    }
    return false;
}
#endif

} // namespace scanvale::Search
