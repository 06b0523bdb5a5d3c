#include "search/work_handout.h"

#include "search/search_statistics.h"

#include <algorithm>
#include <cstdint>

namespace scanvale::Search {

bool WorkHandout::Next(Task& task, size_t batch) {
    using Kind = WalkOrder::Kind;
    while (!order_.Empty()) {
        const WalkOrder::Source& top = order_.Top();
        PipelineFolder& folder = *top.folder;
        if (top.kind == Kind::List) {
            WalkOrder::Source source = order_.Pop();
            if (folder.listing == PipelineFolder::Listing::Waiting) {
                folder.listing = PipelineFolder::Listing::Handed;
                task = {std::move(source.folder), true, 0, 0, {}, {}};
                return true;
            }
        } else if (top.kind == Kind::Files) {
            const size_t i = folder.nextFile;
            const size_t firstMatch = folder.firstMatch;
            const size_t count = folder.FileCount();
            if (folder.filesDone || i >= count || i > firstMatch) {
                order_.Pop();
                continue;
            }
            const size_t end = std::min(
                {i + batch, count, firstMatch == PipelineFolder::None ? SIZE_MAX : firstMatch + 1});
            folder.nextFile = end;
            task = {top.folder, false, i, end - i, folder.files, folder.descriptor};
            if (end == count) {
                order_.Pop();
            }
            return true;
        } else {
            WalkOrder::Source source = order_.Pop();
            const size_t next = folder.children.size();
            if (next >= folder.subfolders.Size()) {
                continue;
            }
            if (next != source.nextChild) {
                order_.Push(std::move(source.folder), Kind::Subfolders); // its place moved on
                continue;
            }
            if (aheadFolders_ >= FoldersAhead || aheadBytes_ >= ListingBytesAhead) {
                overBudget_.push_back(std::move(source));
                continue;
            }
            auto child = std::make_shared<PipelineFolder>(folder, next);
            child->listing = PipelineFolder::Listing::Handed;
            folder.children.push_back(child);
            ++aheadFolders_;
            if (next + 1 < folder.subfolders.Size()) {
                order_.Push(std::move(source.folder), Kind::Subfolders);
            }
            task = {std::move(child), true, 0, 0, {}, {}};
            return true;
        }
    }
    return false;
}

bool WorkHandout::Idle() const {
    return order_.Empty() &&
           std::none_of(underWay_.begin(), underWay_.end(),
                        [](const UnderWay& b) { return b.claims->Unclaimed() > 0; });
}

void WorkHandout::Untrack(const BatchClaims& claims) {
    std::erase_if(underWay_, [&](const UnderWay& batch) { return batch.claims == &claims; });
}

bool WorkHandout::Steal(Task& task) {
    UnderWay* best = nullptr;
    size_t most = 0;
    for (UnderWay& batch : underWay_) {
        const size_t unclaimed = batch.claims->Unclaimed();
        if (unclaimed > most && !batch.task->folder->filesDone) {
            best = &batch;
            most = unclaimed;
        }
    }
    if (best == nullptr) {
        return false;
    }
    const Task& from = *best->task;
    const auto [first, end] = best->claims->TakeLaterHalf();
    if (first == end || from.file + first > from.folder->firstMatch.load()) {
        return false; // claimed meanwhile, or after the folder's first match: not wanted
    }
    task = {from.folder, false, from.file + first, end - first, from.files, from.descriptor};
    Statistics.batchesShared.fetch_add(1, std::memory_order_relaxed);
    return true;
}

void WorkHandout::Listed(PipelineFolder& folder) {
    if (!folder.entered) {
        folder.budgetBytes =
            (folder.files == nullptr ? 0 : folder.files->Bytes()) + folder.subfolders.Bytes();
        aheadBytes_ += folder.budgetBytes;
    }
}

void WorkHandout::Entered(const std::shared_ptr<PipelineFolder>& folder) {
    --aheadFolders_;
    aheadBytes_ -= folder->budgetBytes;
    folder->budgetBytes = 0;
    if (folder->deferred) {
        folder->deferred = false; // too large to be listed ahead: listed now
        order_.Push(folder, WalkOrder::Kind::List);
    }
    ReleaseBudget();
}

void WorkHandout::ReleaseBudget() {
    if (overBudget_.empty() || aheadFolders_ >= FoldersAhead || aheadBytes_ >= ListingBytesAhead) {
        return;
    }
    for (WalkOrder::Source& source : overBudget_) {
        order_.Push(std::move(source.folder), WalkOrder::Kind::Subfolders);
    }
    overBudget_.clear();
}

} // namespace scanvale::Search
