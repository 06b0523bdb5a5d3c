#pragma once

#include "search/pipeline_folder.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace scanvale::Search {

// The work of a pipelined walk that no worker has taken yet, earliest in the walk first. A
// source is one kind of work of one folder: listing it, examining its files (a batch at a time,
// in order), or taking up its next subfolder.
//
// The walk visits a folder, then its files, then each subfolder's tree in turn, so a place in
// it is the chain of subfolder indices from the listed folder down, followed by -1 for the
// folder's files or by the index of the subfolder to take up next; places order like those
// sequences, a sequence before every longer one it begins. Sources are compared by walking
// their folders' places up to where they meet, so queuing one allocates nothing but its slot.
//
// Ownership: each queued source holds its folder.
class WalkOrder {
public:
    enum class Kind : uint8_t { List, Files, Subfolders };
    struct Source {
        std::shared_ptr<PipelineFolder> folder;
        Kind kind;
        size_t nextChild; // Subfolders: the index its place was taken for
    };

    // Call with the pipeline's lock held (the folder's subfolder records are read).
    void Push(std::shared_ptr<PipelineFolder> folder, Kind kind);
    bool Empty() const { return heap_.empty(); }
    const Source& Top() const { return heap_.front(); }
    Source Pop();

    // Negative when `a` comes before `b` in the walk, positive when after, 0 for the same place.
    static int Compare(const Source& a, const Source& b);

private:
    static bool Later(const Source& a, const Source& b) { return Compare(a, b) > 0; }

    std::vector<Source> heap_;
};

} // namespace scanvale::Search
