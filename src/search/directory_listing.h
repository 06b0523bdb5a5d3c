#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace scanvale::Search {

// The names of one kind of entry of a folder (its files, or its subfolders), kept in one
// character store so that listing a folder allocates per folder, not per name.
class DirectoryListing {
public:
    void Clear();
    void Add(std::string_view name);
    // Ascending byte order, the same on every run and every file system.
    void Sort();

    size_t Size() const { return entries_.size(); }
    // The memory the names take, for a budget of listings held at once.
    size_t Bytes() const { return store_.capacity() + entries_.capacity() * sizeof(Entry); }
    // NUL-terminated, for the *at() calls.
    const char* Name(size_t i) const { return store_.data() + entries_[i].offset; }
    std::string_view NameView(size_t i) const {
        return {store_.data() + entries_[i].offset, entries_[i].length};
    }

private:
    struct Entry {
        uint64_t key; // the name's first bytes, for a quick comparison
        size_t offset;
        size_t length;
    };
    std::string store_;
    std::vector<Entry> entries_;
};

} // namespace scanvale::Search
