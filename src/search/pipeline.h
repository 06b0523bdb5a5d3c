#pragma once

#include "search/block_buffer.h"
#include "search/phrase.h"
#include "search/pipeline_folder.h"
#include "search/search.h"
#include "search/search_statistics.h"
#include "search/walk_order.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace scanvale::Search {

// One walk of a listed folder, done by worker threads and shown by the window's thread in the
// order of the sequential walk (a folder, its files, then each subfolder's tree in turn).
//
// Workers list folders and examine files ahead of the window, the earliest work in the walk
// first (WalkOrder), within a budget of folders taken up ahead and of the bytes their listings
// hold; a folder's files are handed out in batches, and none after its first match. The
// window's position in the walk (a stack of folders entered) is advanced by whichever thread
// holds the lock once the next folder's listing or the next file's result is in; it turns what
// the walk shows into events (a folder entered, a file found) for the window's thread to take.
// Folders and files the window's position has gone past are freed as it goes, so memory does
// not grow with the tree.
//
// Leaving (a stop, or the end of the walk) drops whatever is not shown yet. A worker still in
// a call (a read that hangs on a dead network share) keeps the pipeline alive through its own
// reference, finds it left when the call returns, closes what it opened and ends: nothing it
// touches is freed under it, and nothing waits for it.
class Pipeline : public std::enable_shared_from_this<Pipeline> {
    struct Token {};

public:
    struct Event {
        bool found;       // a file found; otherwise a folder entered
        std::string path; // the file's or the folder's full path
    };
    enum class Progress {
        Events,  // events to show (possibly none yet: call again)
        Blocked, // none ready: the host will be woken when there are
        Finished,
    };

    // Starts the workers of a walk of `folder` (see SearchFolder). `host` is woken from the
    // workers' threads when the window's thread waits.
    static std::shared_ptr<Pipeline> Start(std::string_view folder,
                                           const std::vector<std::string>& extensionFilter,
                                           std::string_view phrase, int16_t compareMode,
                                           bool includeSubfolders, const SearchSettings& settings,
                                           scanvale::SearchHost& host);

    // Window's thread. Moves the events that are ready, in walk order, into `events`.
    Progress Take(std::vector<Event>& events);

    // Window's thread: nothing more is taken and the host is no longer woken. Workers drop
    // their work and end, each once out of its current call.
    void Leave();

    // The workers of all pipelines whose threads have not ended yet.
    static unsigned RunningWorkers();

    Pipeline(Token, std::string_view folder, const std::vector<std::string>& extensionFilter,
             std::string_view phrase, int16_t compareMode, bool includeSubfolders,
             const SearchSettings& settings, scanvale::SearchHost& host);
    ~Pipeline();
    Pipeline(const Pipeline&) = delete;
    Pipeline& operator=(const Pipeline&) = delete;

private:
    struct Task {
        std::shared_ptr<PipelineFolder> folder;
        bool list = false; // list the folder; otherwise examine files
        size_t file = 0;   // the first file's index
        size_t count = 0;  // how many files, in order
        std::string names; // their names, each ended by a NUL
        std::shared_ptr<const FileDescriptor> descriptor; // the files' folder
    };
    // Most files handed to a worker at once while the page cache is warm: the lock is taken
    // once for them to be handed out and once for their results. While reads wait for the
    // disk, files go one at a time, so that waiting readers share a folder's files.
    static constexpr size_t FilesPerTask = 32;
    // Most folders a walk takes up ahead of the window, and most bytes their listings may hold.
    // Each folder with files to examine keeps a descriptor open until they are done.
    static constexpr size_t FoldersAhead = 64;
    static constexpr size_t ListingBytesAhead = size_t{16} << 20;
    // A folder whose directory is larger than this (some 30,000 to 50,000 names, whatever the
    // file system) is not listed ahead.
    static constexpr uint64_t LargeFolderBytes = uint64_t{1} << 20;
    // Files examined without waiting for the disk after which the page cache counts as warm.
    static constexpr size_t ColdWindow = 256;

    enum class Step : uint8_t { Enter, List, Files, Subfolders };
    struct Frame {
        std::shared_ptr<PipelineFolder> folder;
        Step step;
        size_t next; // the file or subfolder the window is at
    };
    class WorkerSteps;
    friend class WorkerSteps;

    // Worker threads (pipeline_work.cpp). `untilIdle`: on the window's thread, when no worker
    // could be started; returns once no work is ready instead of waiting for more.
    void Work(bool untilIdle);
    bool NextTask(Task& task);
    void ListFolder(const std::shared_ptr<PipelineFolder>& folder);
    void ExamineFiles(const Task& task, const Phrase& phrase, BlockBuffer& buffer);
    // The lock, counted (Statistics.pipelineLocks).
    std::mutex& Locking() {
        Statistics.pipelineLocks.fetch_add(1, std::memory_order_relaxed);
        return mutex_;
    }
    void Publish(const std::shared_ptr<PipelineFolder>& folder, PipelineFolder::Listing state,
                 FileDescriptor descriptor);
    void BeginDiskWait();
    void EndDiskWait();
    // Threads that may work at once outside waits for the disk: the workers, and while reads
    // have lately waited for the disk (a cold page cache) also the waiting readers, which then
    // spend most of their time waiting: parking each when its read returns would cost more
    // than it saves.
    unsigned Allowed() const {
        return filesSinceDiskWait_ < ColdWindow ? workers_ + waitingReaders_ : workers_;
    }
    unsigned Active() const { return threads_ - parked_ - diskWaits_; }
    void WakeWorker();
    void Spawn();

    // The window's position (pipeline_position.cpp).
    void Advance();
    void EnterSubfolder(Frame& frame);
    void PopFrame();
    void CloseFiles(PipelineFolder& folder);
    void ReleaseBudget();
    void WakeWindow();

    const std::vector<std::string> extensionFilter_;
    const std::string phrase_;
    const int16_t compareMode_;
    const bool includeSubfolders_;
    const size_t blockSize_;
    const unsigned workers_;
    const unsigned waitingReaders_;
    std::atomic<bool> left_{false};

    std::mutex mutex_;
    std::condition_variable workReady_;
    scanvale::SearchHost* host_; // null once the window has left
    bool windowWaits_ = false;
    WalkOrder order_;
    std::vector<WalkOrder::Source> overBudget_; // subfolders held back until the window catches up
    size_t aheadFolders_ = 0;   // taken up by workers, not yet entered by the window
    size_t aheadBytes_ = 0;     // what their listings hold
    std::vector<Frame> frames_; // the window's position: the folders entered, outermost first
    std::vector<Event> events_; // ready for the window
    bool leftOver_ = false;     // Advance() stopped for its step limit with more to do
    bool finished_ = false;
    unsigned threads_ = 0;   // worker threads of this pipeline
    unsigned parked_ = 0;    // of them, waiting for work
    unsigned diskWaits_ = 0; // of them, in a read that waits for the disk
    size_t filesSinceDiskWait_ = ColdWindow;
};

} // namespace scanvale::Search
