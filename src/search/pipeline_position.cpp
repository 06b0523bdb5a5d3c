// The window's position in a pipelined walk: it moves through the walk in order as listings
// and results come in, turns what the walk shows into events, and frees what it has gone past.
// Every function here runs with the pipeline's lock held, on whichever thread holds it.
#include "search/pipeline.h"

namespace scanvale::Search {

namespace {

// Most steps one Advance() takes (a folder of a million files that are all examined already
// is a million steps), and most events waiting for the window: past either, the position stops
// until the window takes what is ready.
constexpr size_t StepsPerAdvance = 4096;
constexpr size_t EventsWaiting = 1024;

} // namespace

void Pipeline::Advance() {
    using Listing = PipelineFolder::Listing;
    leftOver_ = false;
    for (size_t steps = 0; !frames_.empty(); ++steps) {
        if (events_.size() >= EventsWaiting) {
            return;
        }
        if (steps == StepsPerAdvance) {
            leftOver_ = true;
            return;
        }
        Frame& frame = frames_.back();
        PipelineFolder& folder = *frame.folder;
        switch (frame.step) {
        case Step::Enter:
            if (folder.listing == Listing::Missing) {
                PopFrame();
            } else if (!folder.exists) {
                return; // the listed folder's test is under way
            } else {
                events_.push_back({false, folder.path});
                frame.step = Step::List;
            }
            break;
        case Step::List:
            if (folder.listing == Listing::Waiting || folder.listing == Listing::Handed) {
                return;
            }
            if (folder.listing == Listing::Listed) {
                frame.step = Step::Files;
            } else {
                PopFrame(); // unreadable, or repeated on its own descent
            }
            break;
        case Step::Files:
            if (frame.next < folder.files.Size()) {
                const uint8_t result = folder.results[frame.next];
                if (result == PipelineFolder::Unknown) {
                    return;
                }
                if (result == PipelineFolder::Match) {
                    events_.push_back({true, folder.PathOf(folder.files.NameView(frame.next))});
                    frame.next = folder.files.Size(); // the folder's first match is its only one
                } else {
                    ++frame.next;
                }
                break;
            }
            CloseFiles(folder);
            frame.step = Step::Subfolders;
            frame.next = 0;
            break;
        case Step::Subfolders:
            if (frame.next < folder.subfolders.Size()) {
                EnterSubfolder(frame);
            } else {
                PopFrame();
            }
            break;
        }
    }
    finished_ = true;
}

void Pipeline::EnterSubfolder(Frame& frame) {
    PipelineFolder& parent = *frame.folder;
    const size_t next = frame.next++;
    std::shared_ptr<PipelineFolder> child;
    if (next < parent.children.size()) {
        // Taken up ahead by a worker: it no longer counts against the look-ahead.
        child = parent.children[next];
        --aheadFolders_;
        aheadBytes_ -= child->budgetBytes;
        child->budgetBytes = 0;
        if (child->deferred) {
            child->deferred = false;
            order_.Push(child, WalkOrder::Kind::List);
            WakeWorker();
        }
        ReleaseBudget();
    } else {
        child = std::make_shared<PipelineFolder>(parent, next);
        parent.children.push_back(child);
        order_.Push(child, WalkOrder::Kind::List);
        WakeWorker();
    }
    child->entered = true;
    frames_.push_back({std::move(child), Step::Enter, 0}); // `frame` is not used after this
}

void Pipeline::PopFrame() {
    const std::shared_ptr<PipelineFolder> done = std::move(frames_.back().folder);
    frames_.pop_back();
    CloseFiles(*done);
    if (!frames_.empty()) {
        // The frame below is the folder's parent: the window walked its tree, and work still
        // referring to the folder holds it alone.
        frames_.back().folder->children[done->place->Index()].reset();
    }
}

void Pipeline::CloseFiles(PipelineFolder& folder) {
    folder.filesDone = true;
    // Examinations still under way hold the descriptor and their own copy of the name.
    folder.descriptor.reset();
    folder.files = DirectoryListing();
    folder.results = std::vector<uint8_t>();
}

void Pipeline::ReleaseBudget() {
    if (overBudget_.empty() || aheadFolders_ >= FoldersAhead || aheadBytes_ >= ListingBytesAhead) {
        return;
    }
    for (WalkOrder::Source& source : overBudget_) {
        order_.Push(std::move(source.folder), WalkOrder::Kind::Subfolders);
    }
    overBudget_.clear();
    WakeWorker();
}

void Pipeline::WakeWindow() {
    if (windowWaits_ && host_ != nullptr && (!events_.empty() || finished_ || leftOver_)) {
        windowWaits_ = false;
        host_->Wake();
    }
}

} // namespace scanvale::Search
