#include "search/walk_position.h"

namespace scanvale::Search {

namespace {

// Most steps one Advance() takes (a folder of a million files that are all examined already
// is a million steps), and most events waiting for the window: past either, the position stops
// until the window takes what is ready.
constexpr size_t StepsPerAdvance = 4096;
constexpr size_t EventsWaiting = 1024;

} // namespace

WalkPosition::WalkPosition(std::shared_ptr<PipelineFolder> listed) {
    listed->entered = true;
    frames_.push_back({std::move(listed), Step::Enter, 0});
}

WalkPosition::~WalkPosition() {
    // Takes the tree apart level by level: freeing a deep one folder by folder through its
    // owners would recurse as deep as the tree.
    std::vector<std::shared_ptr<PipelineFolder>> pending;
    for (Frame& frame : frames_) {
        pending.push_back(std::move(frame.folder));
    }
    while (!pending.empty()) {
        const std::shared_ptr<PipelineFolder> folder = std::move(pending.back());
        pending.pop_back();
        for (std::shared_ptr<PipelineFolder>& child : folder->children) {
            if (child != nullptr) {
                pending.push_back(std::move(child));
            }
        }
        folder->children.clear();
    }
}

void WalkPosition::Advance(WorkHandout& handout, Retired& retired) {
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
                PopFrame(retired);
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
                PopFrame(retired); // unreadable, or repeated on its own descent
            }
            break;
        case Step::Files:
            if (frame.next < folder.FileCount()) {
                const uint8_t result = folder.results[frame.next];
                if (result == PipelineFolder::Unknown) {
                    return;
                }
                if (result == PipelineFolder::Match) {
                    events_.push_back({true, folder.PathOf(folder.files->NameView(frame.next))});
                    frame.next = folder.FileCount(); // the folder's first match is its only one
                } else {
                    ++frame.next;
                }
                break;
            }
            CloseFiles(folder, retired);
            frame.step = Step::Subfolders;
            frame.next = 0;
            break;
        case Step::Subfolders:
            if (frame.next < folder.subfolders.Size()) {
                EnterSubfolder(frame, handout);
            } else {
                PopFrame(retired);
            }
            break;
        }
    }
    finished_ = true;
}

void WalkPosition::EnterSubfolder(Frame& frame, WorkHandout& handout) {
    PipelineFolder& parent = *frame.folder;
    const size_t next = frame.next++;
    std::shared_ptr<PipelineFolder> child;
    if (next < parent.children.size()) {
        child = parent.children[next]; // taken up ahead by a worker
        handout.Entered(child);
    } else {
        child = std::make_shared<PipelineFolder>(parent, next);
        parent.children.push_back(child);
        handout.Queue(child, WalkOrder::Kind::List);
    }
    child->entered = true;
    frames_.push_back({std::move(child), Step::Enter, 0}); // `frame` is not used after this
}

void WalkPosition::PopFrame(Retired& retired) {
    const std::shared_ptr<PipelineFolder> done = std::move(frames_.back().folder);
    frames_.pop_back();
    CloseFiles(*done, retired);
    if (!frames_.empty()) {
        // The frame below is the folder's parent: the window walked its tree, and work still
        // referring to the folder holds it alone. Folder records are freed with the lock held:
        // a record's place may be the last holder of the places above it, which are taken
        // apart one at a time by whoever lets go last, and the lock orders those holders.
        frames_.back().folder->children[done->place->Index()].reset();
    }
}

void WalkPosition::CloseFiles(PipelineFolder& folder, Retired& retired) {
    folder.filesDone = true;
    // Examinations still under way hold the descriptor and the names themselves.
    Retire(retired, std::move(folder.descriptor));
    Retire(retired, std::move(folder.files));
    folder.results = std::vector<uint8_t>();
}

} // namespace scanvale::Search
