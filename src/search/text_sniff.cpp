#include "search/text_sniff.h"

#include "search/utf8.h"

#include <cstdint>

namespace scanvale::Search {

bool LooksLikeText(std::string_view head) {
    if (head.empty()) {
        return false;
    }
    const auto* p = reinterpret_cast<const uint8_t*>(head.data());
    const size_t n = head.size() < SniffLength ? head.size() : SniffLength;
    const bool windowFull = n == SniffLength;
    size_t i = 0;
    while (i < n) {
        const uint8_t b = p[i];
        if ((b >= 32 && b <= 126) || b == '\t' || b == '\n' || b == '\r') {
            ++i;
            continue;
        }
        if (b < 0x80) {
            return false; // other control bytes and DEL
        }
        const size_t length = Utf8::SequenceLength(b);
        const size_t fit = Utf8::FittingBytes(p + i, n - i);
        if (length == 0 || fit == 0) {
            return false;
        }
        if (fit < length) {
            // Only a character that runs past the end of the window is forgiven.
            return windowFull && i + fit == n;
        }
        i += length;
    }
    return true;
}

std::optional<WideEncoding> WideTextEncoding(std::string_view head) {
    const std::optional<WideEncoding> encoding = MarkedEncoding(head);
    if (!encoding) {
        return std::nullopt;
    }
    const auto* p = reinterpret_cast<const uint8_t*>(head.data());
    const size_t n = head.size() < WideSniffLength ? head.size() : WideSniffLength;
    size_t i = MarkLength(*encoding);
    size_t characters = 0;
    // SniffLength characters always fit the window, so one that runs past its end runs past
    // the file's.
    for (; characters < SniffLength && i < n; ++characters) {
        const WideChar c = DecodeWideChar(*encoding, p + i, n - i, true);
        const int32_t v = c.value;
        if (!((v >= 32 && v <= 126) || v == '\t' || v == '\n' || v == '\r' || v >= 0x80)) {
            return std::nullopt; // ill-formed, other control characters and DEL
        }
        i += c.length;
    }
    return characters > 0 ? encoding : std::nullopt;
}

} // namespace scanvale::Search
