#pragma once

#include "search/directory_listing.h"

#include <cstddef>
#include <functional>

namespace scanvale::Search {

// While a folder is listed, the caller is asked whether to go on after this many names: a
// folder of a hundred thousand names takes tens of milliseconds to list.
inline constexpr size_t ListingCheckInterval = 2048;

// Lists the open folder `folder`: the regular files (and links to them) into `files` and, when
// `subfolders` is given, the folders (and links to them) into it, both sorted. FIFOs, sockets,
// devices and dangling links are neither. `goOn` is asked every ListingCheckInterval names; false
// ends the listing. False when the folder cannot be read (it went away, say) or the listing was
// ended.
bool ListFolder(int folder, DirectoryListing& files, DirectoryListing* subfolders,
                const std::function<bool()>& goOn);

} // namespace scanvale::Search
