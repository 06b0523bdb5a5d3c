#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace scanvale::Search {

// Finds a fixed needle in bytes, either exactly or with the ASCII letters compared regardless
// of case (the needle must then be ASCII; text bytes above 127 never match a needle byte).
//
// The scan tests two anchor bytes of the needle, the two that are rarest in ordinary text, at
// 64 (AVX2) or 16 (SSE2) start positions at a time and compares the whole needle only where
// both anchors match. Machines without these instructions use a plain loop.
class LiteralFinder {
public:
    // The ways of scanning, slowest first; every one gives the same answers.
    enum class Kernel { Portable, Sse2, Avx2 };

    // The kernels this machine can run, slowest first: the portable loop everywhere, SSE2 on
    // x86-64, AVX2 where the processor has it. Scans use the last one unless told otherwise.
    static std::vector<Kernel> Kernels();

    // For tests, which run every kernel on any machine: from now on every scan in the process,
    // on any thread, uses `kernel` (one of Kernels(), else the process aborts), and so does
    // HasNonAscii(), whose portable form is a plain loop. Returns the kernel used before.
    static Kernel UseKernel(Kernel kernel);

    // `needle` must not be empty.
    LiteralFinder(std::string_view needle, bool caseless);

    // When `nonAscii` is given and the needle is not found, it is set to whether `text` holds
    // a byte above 127; the scan learns that on the way, at almost no cost.
    bool FoundIn(std::string_view text, bool* nonAscii = nullptr) const;

    // True when `text` holds a byte above 127.
    static bool HasNonAscii(std::string_view text);

private:
    struct Anchor {
        size_t offset;
        uint8_t value; // lower-cased when the letters are compared regardless of case
        uint8_t mask;  // 0x20 for a letter compared regardless of case: (byte | mask) == value
    };

    bool MatchesAt(const uint8_t* p) const;
    bool ScanPortable(const uint8_t* p, size_t from, size_t n, bool* nonAscii) const;
#if defined(__x86_64__)
    bool ScanSse2(const uint8_t* p, size_t n, bool* nonAscii) const;
    template <bool Caseless, bool Track>
    bool ScanAvx2(const uint8_t* p, size_t n, bool* nonAscii) const;
    template <bool Caseless, bool Track>
    __attribute__((target("avx2"))) size_t NextRoundAvx2(const uint8_t* p, size_t i, size_t n,
                                                         uint64_t& bits, bool& high) const;
#endif

    std::string needle_; // lower-cased when caseless
    bool caseless_;
    Anchor first_{};
    Anchor second_{};
};

} // namespace scanvale::Search
