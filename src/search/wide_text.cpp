#include "search/wide_text.h"

#include <algorithm>
#include <cstring>

namespace scanvale::Search {

namespace {

template <WideEncoding E>
constexpr size_t UnitBytes = E == WideEncoding::Utf16Le || E == WideEncoding::Utf16Be ? 2 : 4;

template <WideEncoding E> uint32_t UnitAt(const uint8_t* p) {
    if constexpr (E == WideEncoding::Utf16Le) {
        return p[0] | uint32_t{p[1]} << 8;
    } else if constexpr (E == WideEncoding::Utf16Be) {
        return uint32_t{p[0]} << 8 | p[1];
    } else if constexpr (E == WideEncoding::Utf32Le) {
        return p[0] | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
    } else {
        return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
    }
}

template <WideEncoding E> WideChar Next(const uint8_t* p, size_t n, bool end) {
    constexpr size_t unit = UnitBytes<E>;
    if (n < unit) {
        return {IllFormed, end ? n : 0};
    }
    const uint32_t u = UnitAt<E>(p);
    const bool surrogate = u >= 0xD800 && u <= 0xDFFF;
    if constexpr (unit == 4) {
        return {surrogate || u > 0x10FFFF ? IllFormed : static_cast<int32_t>(u), 4};
    } else {
        if (!surrogate) {
            return {static_cast<int32_t>(u), 2};
        }
        if (u >= 0xDC00) {
            return {IllFormed, 2}; // a low surrogate without its high one
        }
        if (n < 4) {
            return {IllFormed, end ? size_t{2} : size_t{0}};
        }
        const uint32_t low = UnitAt<E>(p + 2);
        if (low < 0xDC00 || low > 0xDFFF) {
            return {IllFormed, 2};
        }
        return {static_cast<int32_t>(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00)), 4};
    }
}

// Writes the code point (U+FFFD for an ill-formed character) as UTF-8; returns the end.
char* PutUtf8(char* out, int32_t cp) {
    if (cp == IllFormed) {
        cp = 0xFFFD;
    }
    if (cp < 0x80) {
        *out++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *out++ = static_cast<char>(0xC0 | (cp >> 6));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (cp >> 12));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (cp >> 18));
        *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

} // namespace

std::optional<WideEncoding> MarkedEncoding(std::string_view head) {
    const auto* p = reinterpret_cast<const uint8_t*>(head.data());
    const size_t n = head.size();
    if (n >= 4 && p[0] == 0xFF && p[1] == 0xFE && p[2] == 0 && p[3] == 0) {
        return WideEncoding::Utf32Le;
    }
    if (n >= 4 && p[0] == 0 && p[1] == 0 && p[2] == 0xFE && p[3] == 0xFF) {
        return WideEncoding::Utf32Be;
    }
    if (n >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
        return WideEncoding::Utf16Le;
    }
    if (n >= 2 && p[0] == 0xFE && p[1] == 0xFF) {
        return WideEncoding::Utf16Be;
    }
    return std::nullopt;
}

size_t MarkLength(WideEncoding encoding) {
    return encoding == WideEncoding::Utf16Le || encoding == WideEncoding::Utf16Be ? 2 : 4;
}

WideChar DecodeWideChar(WideEncoding encoding, const uint8_t* p, size_t n, bool end) {
    switch (encoding) {
    case WideEncoding::Utf16Le:
        return Next<WideEncoding::Utf16Le>(p, n, end);
    case WideEncoding::Utf16Be:
        return Next<WideEncoding::Utf16Be>(p, n, end);
    case WideEncoding::Utf32Le:
        return Next<WideEncoding::Utf32Le>(p, n, end);
    case WideEncoding::Utf32Be:
        break;
    }
    return Next<WideEncoding::Utf32Be>(p, n, end);
}

size_t WideDecoder::Decode(const char* in, size_t n, bool last, char* out) {
    const auto* p = reinterpret_cast<const uint8_t*>(in);
    switch (encoding_) {
    case WideEncoding::Utf16Le:
        return DecodeAs<WideEncoding::Utf16Le>(p, n, last, out);
    case WideEncoding::Utf16Be:
        return DecodeAs<WideEncoding::Utf16Be>(p, n, last, out);
    case WideEncoding::Utf32Le:
        return DecodeAs<WideEncoding::Utf32Le>(p, n, last, out);
    case WideEncoding::Utf32Be:
        break;
    }
    return DecodeAs<WideEncoding::Utf32Be>(p, n, last, out);
}

template <WideEncoding E>
size_t WideDecoder::DecodeAs(const uint8_t* in, size_t n, bool last, char* out) {
    char* end = out;
    size_t i = 0; // bytes of `in` decoded
    if (keptLength_ > 0) {
        // The character that the piece before ended inside, completed from this piece's first
        // bytes; a character is at most LongestMark bytes.
        uint8_t joined[sizeof kept_ + LongestMark];
        const size_t taken = std::min(n, LongestMark);
        std::memcpy(joined, kept_, keptLength_);
        std::memcpy(joined + keptLength_, in, taken);
        const size_t m = keptLength_ + taken;
        size_t at = 0;
        while (at < keptLength_) {
            const WideChar c = Next<E>(joined + at, m - at, last && taken == n);
            if (c.length == 0) {
                // This piece was too short to complete it: all of it is kept (fewer than
                // LongestMark bytes, or the character would be whole).
                std::memcpy(kept_, joined + at, m - at);
                keptLength_ = m - at;
                return static_cast<size_t>(end - out);
            }
            end = PutUtf8(end, c.value);
            at += c.length;
        }
        i = at - keptLength_;
        keptLength_ = 0;
    }
    while (i < n) {
        const WideChar c = Next<E>(in + i, n - i, last);
        if (c.length == 0) {
            std::memcpy(kept_, in + i, n - i);
            keptLength_ = n - i;
            break;
        }
        end = PutUtf8(end, c.value);
        i += c.length;
    }
    return static_cast<size_t>(end - out);
}

} // namespace scanvale::Search
