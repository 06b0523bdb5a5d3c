#include "search/directory_listing.h"

#include <algorithm>
#include <cstdint>

namespace scanvale::Search {

void DirectoryListing::Clear() {
    store_.clear();
    entries_.clear();
}

void DirectoryListing::Add(std::string_view name) {
    // The first eight bytes as a big-endian number order like the bytes themselves; a name
    // holds no NUL, so the zeros padding a short name sort before any byte it could have.
    uint64_t key = 0;
    for (size_t i = 0; i < 8; ++i) {
        key = key << 8 | (i < name.size() ? static_cast<uint8_t>(name[i]) : 0);
    }
    entries_.push_back({key, store_.size(), name.size()});
    store_.append(name);
    store_.push_back('\0');
}

void DirectoryListing::Sort() {
    const char* base = store_.data();
    // Most names differ in their first eight bytes, so most comparisons touch only the
    // entries and not the names they point to.
    std::sort(entries_.begin(), entries_.end(), [base](const Entry& a, const Entry& b) {
        if (a.key != b.key) {
            return a.key < b.key;
        }
        return std::string_view(base + a.offset, a.length) <
               std::string_view(base + b.offset, b.length);
    });
}

} // namespace scanvale::Search
