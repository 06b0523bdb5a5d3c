#pragma once

#include <cstddef>
#include <cstdint>

// Small UTF-8 helpers shared by the binary sniff, the case-insensitive matcher and the window's
// display of paths. Well-formed means RFC 3629: no overlong forms, no surrogates, nothing above
// U+10FFFF.
namespace scanvale::Search::Utf8 {

inline bool IsContinuation(uint8_t b) {
    return (b & 0xC0) == 0x80;
}

// Length of the character that `lead` begins, or 0 when no well-formed character can begin
// with it (a continuation byte, C0, C1, F5..FF).
inline size_t SequenceLength(uint8_t lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead < 0xC2) {
        return 0;
    }
    if (lead < 0xE0) {
        return 2;
    }
    if (lead < 0xF0) {
        return 3;
    }
    return lead < 0xF5 ? 4 : 0;
}

// How many of the n bytes at p (n >= 1) fit the character begun by p[0]: the full length for a
// complete character, fewer for a cut-off or broken one, 0 when p[0] begins none.
inline size_t FittingBytes(const uint8_t* p, size_t n) {
    const size_t length = SequenceLength(p[0]);
    if (length <= 1) {
        return length;
    }
    uint8_t low = 0x80;
    uint8_t high = 0xBF;
    switch (p[0]) {
    case 0xE0:
        low = 0xA0;
        break;
    case 0xED:
        high = 0x9F;
        break;
    case 0xF0:
        low = 0x90;
        break;
    case 0xF4:
        high = 0x8F;
        break;
    default:
        break;
    }
    size_t fit = 1;
    for (; fit < length && fit < n; ++fit) {
        const uint8_t b = p[fit];
        const bool ok = fit == 1 ? (b >= low && b <= high) : IsContinuation(b);
        if (!ok) {
            break;
        }
    }
    return fit;
}

// Length of the well-formed character at p (n >= 1 bytes available), or 0 when p does not
// begin a complete well-formed character.
inline size_t WellFormedLength(const uint8_t* p, size_t n) {
    const size_t length = SequenceLength(p[0]);
    return length != 0 && FittingBytes(p, n) == length ? length : 0;
}

// A byte that is not part of a well-formed character stands for itself, as a unit outside the
// code point range so that it can only ever equal the same byte.
inline int32_t IllFormedUnit(uint8_t b) {
    return 0x110000 + b;
}

struct Unit {
    int32_t value; // a code point, or IllFormedUnit()
    size_t length; // bytes taken from the text
};

// Decodes the unit at p (n >= 1 bytes available). A byte that does not begin a complete
// well-formed character is one unit of its own, so decoding resumes at the very next byte.
inline Unit DecodeUnit(const uint8_t* p, size_t n) {
    const size_t length = SequenceLength(p[0]);
    if (length == 1) {
        return {p[0], 1};
    }
    if (length == 0 || FittingBytes(p, n) < length) {
        return {IllFormedUnit(p[0]), 1};
    }
    int32_t cp = p[0] & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    return {cp, length};
}

} // namespace scanvale::Search::Utf8
