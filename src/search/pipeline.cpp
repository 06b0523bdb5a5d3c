#include "search/pipeline.h"

#include <sched.h>
#include <system_error>
#include <thread>
#include <utility>

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

Pipeline::Pipeline(Token, std::string_view folder, const Query& query,
                   const SearchSettings& settings, scanvale::SearchHost& host)
    : query_(query), blockSize_(settings.blockSize), batchedReads_(settings.batchedReads),
      workers_(settings.workers > 0 ? settings.workers : ProcessorCount()),
      waitingReaders_(settings.waitingReaders), spans_(workers_, blockSize_),
      position_(std::make_shared<PipelineFolder>(std::string(WithoutTrailingSeparators(folder)))),
      host_(&host) {}

std::shared_ptr<Pipeline> Pipeline::Start(std::string_view folder, const Query& query,
                                          const SearchSettings& settings,
                                          scanvale::SearchHost& host) {
    auto pipeline = std::make_shared<Pipeline>(Token{}, folder, query, settings, host);
    const Held held(*pipeline);
    pipeline->handout_.Queue(pipeline->position_.Listed(), WalkOrder::Kind::List);
    for (unsigned i = 0; i < pipeline->workers_; ++i) {
        pipeline->Spawn();
    }
    return pipeline;
}

Pipeline::Progress Pipeline::Take(std::vector<Event>& events) {
    events.clear();
    Held held(*this);
    windowDozes_ = false;
    if (threads_ == 0) {
        // No worker thread could be started yet (the user's or the system's threads are at
        // their limit): one is asked for again at each of the window's turns, and the window
        // dozes meanwhile. Its thread never does a worker's work, which may wait on the disk.
        Spawn();
        if (threads_ == 0) {
            return Progress::Doze;
        }
    }
    Advance();
    if (position_.HasEvents()) {
        position_.TakeEvents(events);
        tookEvents_ = true;
        return Progress::Events;
    }
    if (position_.Finished()) {
        return Progress::Finished;
    }
    if (position_.LeftOver()) {
        return Progress::Events;
    }
    if (std::exchange(tookEvents_, false)) {
        windowDozes_ = true;
        return Progress::Doze;
    }
    windowWaits_ = true;
    return Progress::Blocked;
}

void Pipeline::Leave() {
    {
        Held held(*this);
        left_ = true;
        windowWaits_ = false;
        windowDozes_ = false;
        wakeHost_ = false;
    }
    workReady_.notify_all();
    const std::lock_guard host(hostMutex_);
    host_ = nullptr;
}

unsigned Pipeline::RunningWorkers() {
    return runningWorkers.load();
}

void Pipeline::Spawn() {
    try {
        runningWorkers.fetch_add(1);
        std::thread([self = shared_from_this()]() mutable {
            self->Work();
            // The last worker out frees the pipeline here, before it counts itself out.
            self.reset();
            runningWorkers.fetch_sub(1);
        }).detach();
        ++threads_;
    } catch (const std::system_error&) {
        runningWorkers.fetch_sub(1); // the walk goes on with the workers it has
    }
}

void Pipeline::Advance() {
    position_.Advance(handout_, retired_);
    WakeWindow();
    WakeWorker();
}

void Pipeline::WakeWindow() {
    const bool ends = position_.Finished() || position_.LeftOver();
    if ((windowWaits_ && (ends || position_.HasEvents())) || (windowDozes_ && ends)) {
        windowWaits_ = false;
        windowDozes_ = false;
        wakeHost_ = true;
    }
}

void Pipeline::WakeWorker() {
    if (parked_ > workersToWake_ && Active() + workersToWake_ < Allowed() && !handout_.Idle()) {
        ++workersToWake_;
    }
}

void Pipeline::Held::Acquire() {
    lock_.lock();
    Counted();
}

void Pipeline::Held::Counted() {
    Statistics.pipelineLocks.fetch_add(1, std::memory_order_relaxed);
    if (Statistics.timeLocks.load(std::memory_order_relaxed)) {
        since_ = std::chrono::steady_clock::now();
    }
}

void Pipeline::Held::Timed() {
    if (Statistics.timeLocks.load(std::memory_order_relaxed)) {
        const auto held = std::chrono::steady_clock::now() - since_;
        Statistics.pipelineLockNanos.fetch_add(
            static_cast<uint64_t>(std::chrono::nanoseconds(held).count()),
            std::memory_order_relaxed);
    }
}

void Pipeline::Held::Release() {
    if (!lock_.owns_lock()) {
        return;
    }
    Pipeline& p = pipeline_;
    dropping_.swap(p.retired_);
    const unsigned workers = std::exchange(p.workersToWake_, 0);
    const bool host = std::exchange(p.wakeHost_, false);
    Timed();
    lock_.unlock();
    for (unsigned i = 0; i < workers; ++i) {
        p.workReady_.notify_one();
    }
    if (host) {
        const std::lock_guard guard(p.hostMutex_);
        if (p.host_ != nullptr) {
            p.host_->Wake();
        }
    }
    dropping_.clear();
}

void Pipeline::Held::Wait(std::condition_variable& ready) {
    Timed();
    ready.wait(lock_);
    Counted();
}

} // namespace scanvale::Search
