#include "search/directory_listing.h"

#include <algorithm>

namespace Search {

void DirectoryListing::Clear() {
    store_.clear();
    entries_.clear();
}

void DirectoryListing::Add(std::string_view name) {
    entries_.push_back({store_.size(), name.size()});
    store_.append(name);
    store_.push_back('\0');
}

void DirectoryListing::Sort() {
    const char* base = store_.data();
    std::sort(entries_.begin(), entries_.end(), [base](const Entry& a, const Entry& b) {
        return std::string_view(base + a.offset, a.length) <
               std::string_view(base + b.offset, b.length);
    });
}

} // namespace Search
