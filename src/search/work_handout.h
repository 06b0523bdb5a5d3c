#pragma once

#include "search/batch_claims.h"
#include "search/directory_listing.h"
#include "search/file_descriptor.h"
#include "search/pipeline_folder.h"
#include "search/walk_order.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace scanvale::Search {

// Hands out the work of a pipelined walk to its workers: the earliest in the walk first, a
// batch of a folder's files at a time and none after the folder's first known match, and
// folders taken up ahead of the window only within a budget of how many and of the bytes their
// listings hold. When nothing is queued, a worker may take the later half of the files another
// worker's batch has not claimed yet (Steal). Every call is made with the pipeline's lock held.
//
// Ownership: queued work holds its folder; so does work held back over the budget, and every
// task handed out, with the folder's descriptor and file names, so a worker reads them without
// the lock however far the window has moved on. The batches under way are known by pointers
// to their owners' task and claims, which the owners keep alive from Track to Untrack.
class WorkHandout {
public:
    struct Task {
        std::shared_ptr<PipelineFolder> folder;
        bool list = false;                             // list the folder; otherwise examine files
        size_t file = 0;                               // the first file's index
        size_t count = 0;                              // how many files, in order
        std::shared_ptr<const DirectoryListing> files; // the folder's
        std::shared_ptr<const FileDescriptor> descriptor; // the files' folder
    };
    // Most files handed to a worker at once.
    static constexpr size_t FilesPerTask = 32;
    // Most folders a walk takes up ahead of the window, and most bytes their listings may hold.
    // Each folder with files to examine keeps a descriptor open until they are done.
    static constexpr size_t FoldersAhead = 64;
    static constexpr size_t ListingBytesAhead = size_t{16} << 20;

    // Queues a kind of work of a folder.
    void Queue(std::shared_ptr<PipelineFolder> folder, WalkOrder::Kind kind) {
        order_.Push(std::move(folder), kind);
    }
    bool Empty() const { return order_.Empty(); }
    // Nothing is queued and no batch under way has files left to Steal.
    bool Idle() const;

    // The earliest piece of work ready, of at most `batch` files; false when none is.
    bool Next(Task& task, size_t batch);

    // A batch of files handed out (`task`, of more than one file) is under way, its unclaimed
    // files open to Steal, until its owner publishes what it found and calls Untrack.
    // (Pipeline::OpenBatch says which batches are opened so.)
    void Track(const Task& task, BatchClaims& claims) { underWay_.push_back({&task, &claims}); }
    void Untrack(const BatchClaims& claims);
    // Takes the later half of the unclaimed files of the batch under way that has the most of
    // them, as a task whose first file is its taker's; false when no batch has any left that
    // may still be wanted.
    bool Steal(Task& task);

    // A folder's listing came in: unless the window has entered the folder, it counts against
    // the budget until it does.
    void Listed(PipelineFolder& folder);
    // The window entered a folder that a worker took up ahead.
    void Entered(const std::shared_ptr<PipelineFolder>& folder);

private:
    void ReleaseBudget();

    struct UnderWay {
        const Task* task;
        BatchClaims* claims;
    };

    WalkOrder order_;
    std::vector<UnderWay> underWay_;
    std::vector<WalkOrder::Source> overBudget_; // subfolders held back until the window catches up
    size_t aheadFolders_ = 0; // taken up by workers, not yet entered by the window
    size_t aheadBytes_ = 0;   // what their listings hold
};

} // namespace scanvale::Search
