#include "search/pipeline.h"

#include <sched.h>
#include <system_error>
#include <thread>

namespace scanvale::Search {

namespace {

std::atomic<unsigned> runningWorkers{0};

// One worker for each processor this process may run on.
unsigned ProcessorCount() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) {
        return static_cast<unsigned>(CPU_COUNT(&set));
    }
    const unsigned reported = std::thread::hardware_concurrency();
    return reported > 0 ? reported : 1;
}

std::string_view WithoutTrailingSeparators(std::string_view folder) {
    while (folder.size() > 1 && folder.back() == '/') {
        folder.remove_suffix(1);
    }
    return folder;
}

} // namespace

Pipeline::Pipeline(Token, std::string_view folder, const std::vector<std::string>& extensionFilter,
                   std::string_view phrase, int16_t compareMode, bool includeSubfolders,
                   const SearchSettings& settings, scanvale::SearchHost& host)
    : extensionFilter_(extensionFilter), phrase_(phrase), compareMode_(compareMode),
      includeSubfolders_(includeSubfolders), blockSize_(settings.blockSize),
      workers_(settings.workers > 0 ? settings.workers : ProcessorCount()),
      waitingReaders_(settings.waitingReaders), host_(&host) {
    auto root = std::make_shared<PipelineFolder>(std::string(WithoutTrailingSeparators(folder)));
    root->entered = true;
    order_.Push(root, WalkOrder::Kind::List);
    frames_.push_back({std::move(root), Step::Enter, 0});
}

Pipeline::~Pipeline() {
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

std::shared_ptr<Pipeline> Pipeline::Start(std::string_view folder,
                                          const std::vector<std::string>& extensionFilter,
                                          std::string_view phrase, int16_t compareMode,
                                          bool includeSubfolders, const SearchSettings& settings,
                                          scanvale::SearchHost& host) {
    auto pipeline = std::make_shared<Pipeline>(Token{}, folder, extensionFilter, phrase,
                                               compareMode, includeSubfolders, settings, host);
    const std::lock_guard lock(pipeline->Locking());
    for (unsigned i = 0; i < pipeline->workers_; ++i) {
        pipeline->Spawn();
    }
    return pipeline;
}

Pipeline::Progress Pipeline::Take(std::vector<Event>& events) {
    events.clear();
    std::unique_lock lock(Locking());
    if (threads_ == 0) {
        // No worker thread could be started (the system is out of threads): the work is done
        // here rather than not at all.
        lock.unlock();
        Work(true);
        Locking();
        lock.lock();
    }
    Advance();
    if (!events_.empty()) {
        events.swap(events_);
        return Progress::Events;
    }
    if (finished_) {
        return Progress::Finished;
    }
    if (leftOver_ || threads_ == 0) {
        return Progress::Events;
    }
    windowWaits_ = true;
    return Progress::Blocked;
}

void Pipeline::Leave() {
    const std::lock_guard lock(Locking());
    left_ = true;
    host_ = nullptr;
    windowWaits_ = false;
    workReady_.notify_all();
}

unsigned Pipeline::RunningWorkers() {
    return runningWorkers.load();
}

void Pipeline::Spawn() {
    try {
        runningWorkers.fetch_add(1);
        std::thread([self = shared_from_this()]() mutable {
            self->Work(false);
            // The last worker out frees the pipeline here, before it counts itself out.
            self.reset();
            runningWorkers.fetch_sub(1);
        }).detach();
        ++threads_;
    } catch (const std::system_error&) {
        runningWorkers.fetch_sub(1); // the walk goes on with the workers it has
    }
}

} // namespace scanvale::Search
