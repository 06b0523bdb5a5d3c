#pragma once

#include "search/block_buffer.h"
#include "search/phrase.h"
#include "search/pipeline_folder.h"
#include "search/search.h"
#include "search/search_statistics.h"
#include "search/span_buffers.h"
#include "search/walk_position.h"
#include "search/work_handout.h"

#include <atomic>
#include <chrono>
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
// The pipeline runs the workers and keeps the walk's shared state under one lock: the work not
// handed out yet (WorkHandout), the window's position in the walk (WalkPosition) and the folder
// records between them (PipelineFolder). Workers take the earliest work in the walk, list
// folders and examine batches of files without the lock, and take the lock once per piece of
// work to publish what they found and take the next. Whichever thread holds the lock once a
// listing or a result is in moves the window's position on; the window's thread takes the
// events that produces. What a thread must do that is no work for the lock (waking a worker or
// the window, freeing what the position retired) it does once it has let go of the lock.
//
// Leaving (a stop, or the end of the walk) drops whatever is not shown yet. A worker still in
// a call (a read that hangs on a dead network share) keeps the pipeline alive through its own
// reference, finds it left when the call returns, closes what it opened and ends: nothing it
// touches is freed under it, and nothing waits for it.
class Pipeline : public std::enable_shared_from_this<Pipeline> {
    struct Token {};

public:
    using Event = WalkPosition::Event;
    enum class Progress {
        Events, // events to show (possibly none yet: call again)
        // None ready just after some were, or no worker could be started yet: the window's
        // thread is to take its turn and come back after a short while, woken early only when
        // the walk ends. While a fast walk keeps events coming, this keeps the workers from
        // waking it for each folder.
        Doze,
        Blocked, // none ready: the host will be woken when there are
        Finished,
    };

    // Starts the workers of a walk of `folder` (see SearchFolder). `host` is woken from the
    // workers' threads when the window's thread waits, until Leave() returns.
    static std::shared_ptr<Pipeline> Start(std::string_view folder, const Query& query,
                                           const SearchSettings& settings,
                                           scanvale::SearchHost& host);

    // Window's thread. Moves the events that are ready, in walk order, into `events`.
    Progress Take(std::vector<Event>& events);

    // Window's thread: nothing more is taken, and once this returns the host is not called
    // again. Workers drop their work and end, each once out of its current call.
    void Leave();

    // The workers of all pipelines whose threads have not ended yet.
    static unsigned RunningWorkers();

    Pipeline(Token, std::string_view folder, const Query& query, const SearchSettings& settings,
             scanvale::SearchHost& host);
    Pipeline(const Pipeline&) = delete;
    Pipeline& operator=(const Pipeline&) = delete;

private:
    using Task = WorkHandout::Task;
    // Files examined without waiting for the disk after which the page cache counts as warm:
    // until then files go one at a time, so that waiting readers share a folder's files.
    static constexpr size_t ColdWindow = 256;
    // A folder whose directory is larger than this (some 30,000 to 50,000 names, whatever the
    // file system) is not listed ahead.
    static constexpr uint64_t LargeFolderBytes = uint64_t{1} << 20;

    class Held;
    struct OpenBatch;
    class WorkerSteps;
    class WorkerRing;
    friend class WorkerSteps;

    // A worker thread (pipeline_work.cpp), until the window has left.
    void Work();
    // Each runs without the lock and returns with it held, what it found published.
    void ListFolder(const Task& task, Held& held);
    // `claims`: for a batch open to other workers, which files this one has (null: all).
    void ExamineFiles(const Task& task, BatchClaims* claims, const Phrase& phrase,
                      BlockBuffer& buffer, WorkerRing& ring, Held& held);
    void Publish(const std::shared_ptr<PipelineFolder>& folder, PipelineFolder::Listing state);
    void BeginDiskWait();
    void EndDiskWait();
    size_t Batch() const {
        return filesSinceDiskWait_ < ColdWindow ? 1 : WorkHandout::FilesPerTask;
    }
    // Threads that may work at once outside waits for the disk: the workers, and while reads
    // have lately waited for the disk (a cold page cache) also the waiting readers, which then
    // spend most of their time waiting: parking each when its read returns would cost more
    // than it saves.
    unsigned Allowed() const {
        return filesSinceDiskWait_ < ColdWindow ? workers_ + waitingReaders_ : workers_;
    }
    unsigned Active() const { return threads_ - parked_ - diskWaits_; }
    void Spawn();

    // With the lock held: moves the window's position on, and has the window woken when it
    // waits and something is ready for it, and a parked worker when work is.
    void Advance();
    void WakeWindow();
    void WakeWorker();

    const Query query_;
    const size_t blockSize_;
    const bool batchedReads_;
    const unsigned workers_;
    const unsigned waitingReaders_;
    SpanBuffers spans_; // one for each worker at most, whatever threads wait for the disk
    std::atomic<bool> left_{false};

    std::mutex mutex_; // guards everything below but the host
    std::condition_variable workReady_;
    WorkHandout handout_;
    WalkPosition position_;
    bool windowWaits_ = false; // the window sleeps until events are ready
    bool windowDozes_ = false; // the window dozes: woken only by the walk's end
    bool tookEvents_ = false;  // the window's last Take() had events
    unsigned threads_ = 0;     // worker threads of this pipeline
    unsigned parked_ = 0;      // of them, waiting for work
    unsigned diskWaits_ = 0;   // of them, in a read that waits for the disk
    size_t filesSinceDiskWait_ = ColdWindow;
    // What the holder of the lock is to do once it lets go.
    unsigned workersToWake_ = 0;
    bool wakeHost_ = false;
    Retired retired_;

    // Taken only to call the host and by Leave(), which nulls it: a thread that wakes the
    // window does so after letting go of the pipeline's lock, and Leave() returns only once no
    // thread is in the host's Wake().
    std::mutex hostMutex_;
    scanvale::SearchHost* host_;
};

// The pipeline's lock, held by one thread: counted (Statistics.pipelineLocks), timed when
// Statistics.timeLocks is set, and letting go of it does what was left for then (waking a
// worker or the window, dropping what was retired).
class Pipeline::Held {
public:
    explicit Held(Pipeline& pipeline)
        : pipeline_(pipeline), lock_(pipeline.mutex_, std::defer_lock) {
        Acquire();
    }
    ~Held() { Release(); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

    void Acquire();
    void Release();
    // True when letting go has work to do.
    bool HasDeferred() const {
        return pipeline_.workersToWake_ > 0 || pipeline_.wakeHost_ || !pipeline_.retired_.empty();
    }
    // Waits for `ready` to be notified; call with nothing deferred.
    void Wait(std::condition_variable& ready);

private:
    void Counted();
    void Timed();

    Pipeline& pipeline_;
    std::unique_lock<std::mutex> lock_;
    Retired dropping_; // its capacity passes to and fro with the pipeline's
    std::chrono::steady_clock::time_point since_{};
};

} // namespace scanvale::Search
