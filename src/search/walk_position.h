#pragma once

#include "search/pipeline_folder.h"
#include "search/work_handout.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace scanvale::Search {

// What a thread let go of while it held the pipeline's lock, to be dropped once it has let go
// of the lock: closing a descriptor or freeing a listing is no work for the lock. (Folder
// records are not retired: see WalkPosition::PopFrame.)
using Retired = std::vector<std::shared_ptr<const void>>;

// Moves `held` into `retired`, unless there is nothing to hold.
inline void Retire(Retired& retired, std::shared_ptr<const void> held) {
    if (held != nullptr) {
        retired.push_back(std::move(held));
    }
}

// The window's position in a pipelined walk: a stack of the folders it has entered, each at
// its step (shown, listed, its files, its subfolders). It moves on in the sequential walk's
// order as listings and results come in, turns what the walk shows into events for the
// window's thread (a folder entered, a file found), and retires what it has gone past, so
// memory does not grow with the tree. Every call is made with the pipeline's lock held, on
// whichever thread holds it.
//
// Ownership: the position holds the folders it has entered; a folder holds the subfolders
// taken up so far until the window has walked their trees.
class WalkPosition {
public:
    struct Event {
        bool found;       // a file found; otherwise a folder entered
        std::string path; // the file's or the folder's full path
    };

    explicit WalkPosition(std::shared_ptr<PipelineFolder> listed);
    ~WalkPosition();
    WalkPosition(const WalkPosition&) = delete;
    WalkPosition& operator=(const WalkPosition&) = delete;

    // Moves on as far as listings and results allow. Entering a subfolder no worker took up
    // yet queues its listing in `handout`.
    void Advance(WorkHandout& handout, Retired& retired);

    // The listed folder, until the window has walked it.
    const std::shared_ptr<PipelineFolder>& Listed() const { return frames_.front().folder; }
    bool HasEvents() const { return !events_.empty(); }
    // Swaps the events ready, in walk order, into `events`.
    void TakeEvents(std::vector<Event>& events) { events.swap(events_); }
    // The walk is done.
    bool Finished() const { return finished_; }
    // The last Advance() stopped for its step limit with more to do.
    bool LeftOver() const { return leftOver_; }

private:
    enum class Step : uint8_t { Enter, List, Files, Subfolders };
    struct Frame {
        std::shared_ptr<PipelineFolder> folder;
        Step step;
        size_t next; // the file or subfolder the window is at
    };

    void EnterSubfolder(Frame& frame, WorkHandout& handout);
    void PopFrame(Retired& retired);
    static void CloseFiles(PipelineFolder& folder, Retired& retired);

    std::vector<Frame> frames_; // the folders entered, outermost first
    std::vector<Event> events_; // ready for the window
    bool leftOver_ = false;
    bool finished_ = false;
};

} // namespace scanvale::Search
