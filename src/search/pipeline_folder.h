#pragma once

#include "search/directory_listing.h"
#include "search/file_descriptor.h"
#include "search/walk_place.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace scanvale::Search {

// One folder of a pipelined walk (see pipeline.h): where it lies in the walk, what its listing
// found and how far the examination of its files has come. Every field but the constant ones
// and firstMatch is guarded by the pipeline's lock; a worker writes the listing fields before
// it publishes the listing under that lock, and nobody reads them before.
//
// Ownership: a folder is owned by its parent's `children` (the listed folder by the window's
// position in the walk) until the window has walked its tree, and by every piece of work that
// refers to it (queued in the walk order, held back over the budget, or under way on a
// worker). A folder holds no reference to its parent: what it needs of its ancestors (its
// place in the walk, their identities for the descent guard) is in its `place`, which it owns
// and which owns the places above it. So work that outlives the folders above it (a folder's
// next subfolder held back over the budget while the window walks on and frees that folder's
// parent) still reads only memory it holds.
struct PipelineFolder {
    enum class Listing : uint8_t {
        Waiting,    // not yet handed to a worker
        Handed,     // a worker lists it
        Missing,    // the listed folder is no folder
        Unreadable, // cannot be opened or read: skipped
        // Shown but not entered: already being walked further up the same descent (entering it
        // again would never end), or one of the kernel's pseudo file systems reached by descent.
        NotEntered,
        Listed,
    };
    enum Result : uint8_t { Unknown, NoMatch, Match };
    static constexpr size_t None = std::numeric_limits<size_t>::max();

    size_t FileCount() const { return files == nullptr ? 0 : files->Size(); }

    // The listed folder.
    explicit PipelineFolder(std::string folderPath)
        : path(std::move(folderPath)), place(WalkPlace::Listed()), exists(false) {}
    // The subfolder `index` of `parent`, which is listed.
    PipelineFolder(const PipelineFolder& parent, size_t index)
        : path(parent.PathOf(parent.subfolders.NameView(index))),
          place(WalkPlace::Below(parent.place, index, parent.id)), exists(true),
          inMemory(parent.inMemory) {}

    // The full path of the entry `name` of this folder.
    std::string PathOf(std::string_view name) const {
        std::string full = path;
        if (full.empty() || full.back() != '/') {
            full += '/';
        }
        full += name;
        return full;
    }

    const std::string path; // full, without a trailing separator (except the root "/")
    const std::shared_ptr<const WalkPlace> place;

    Listing listing = Listing::Waiting;
    bool exists;              // known to be a folder (the listed folder's test comes first)
    bool entered = false;     // the window's position has reached it
    bool deferred = false;    // too large to be listed ahead: listed once entered
    WalkPlace::Identity id{}; // known once listed
    // Its file system keeps every page in memory (tmpfs and the like), so reads of its files
    // never wait and need not ask first. Known once listed: asked of the listed folder and of
    // a folder on another device than its parent's, taken from the parent otherwise.
    bool inMemory = false;
    // Let go once the window has gone past them (null when the folder has no files); a worker
    // examining some holds its own reference to the names and to the folder's descriptor.
    std::shared_ptr<const DirectoryListing> files;
    std::shared_ptr<const FileDescriptor> descriptor;
    DirectoryListing subfolders;  // when subfolders are walked
    size_t budgetBytes = 0;       // what the listing counts against the look-ahead budget
    std::vector<uint8_t> results; // a Result per file
    size_t nextFile = 0;          // the next file to hand out
    // The lowest index of a file known to match: files after it are not wanted. It only ever
    // falls: a worker lowers it without the lock as soon as a file matches (its result is
    // published later, with the rest of its batch), and workers read it between files and
    // blocks without the lock.
    std::atomic<size_t> firstMatch{None};
    bool filesDone = false; // the window has gone past the files
    // Subfolders taken up so far, in order; each reset once the window has walked it.
    std::vector<std::shared_ptr<PipelineFolder>> children;
};

} // namespace scanvale::Search
