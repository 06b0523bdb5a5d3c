#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace Search {

// Finds an ASCII needle in bytes, with the letters A-Z and a-z compared regardless of case
// and every other byte compared exactly. Bytes above 127 in the text never match.
// The scan tests the needle's first and last bytes sixteen positions at a time (SSE2 where the
// machine has it, a plain loop elsewhere) and compares the whole needle only at candidates.
class CaselessAsciiFinder {
public:
    // `needle` must be ASCII and non-empty.
    explicit CaselessAsciiFinder(std::string_view needle);

    bool FoundIn(std::string_view text) const;

private:
    bool MatchesAt(const uint8_t* p) const;
    bool ScanPortable(const uint8_t* p, size_t n) const;
#if defined(__SSE2__)
    bool ScanSse2(const uint8_t* p, size_t n) const;
#endif

    std::string needle_; // lower-cased
    uint8_t firstMask_;  // 0x20 when the first byte is a letter: (byte | mask) == lower-case
    uint8_t lastMask_;
};

} // namespace Search
