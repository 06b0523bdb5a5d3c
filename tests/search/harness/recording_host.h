#pragma once

#include "search/search_host.h"

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace scanvale::test {

// Paths in the order a host was given them.
using Paths = std::vector<std::string>;

// The window's side of a search for the engine's tests, the benchmarks and the fuzzers: records
// every call (the results and progress texts in order, the turns taken) and runs `onTurn` in
// each turn, where the window would run its event handlers. Without an event loop a turn handles
// nothing, and Wait() sleeps until Wake() is called or its time is up; EventLoopHost takes the
// turns in a Qt event loop instead.
class RecordingHost : public scanvale::SearchHost {
public:
    void AddResult(std::string_view path) override { results.emplace_back(path); }
    void ShowProgress(std::string_view text) override {
        if (keepProgress) {
            progress.emplace_back(text);
        }
    }
    void Yield() override {
        ++yields;
        Turn();
    }
    void Wait(Clock::time_point until) override {
        ++waits;
        if (waitAtMost > Clock::duration::zero()) {
            until = std::min(until, Clock::now() + waitAtMost);
        }
        Sleep(until);
        Turn();
    }
    void Wake() override {
        const std::lock_guard lock(bell_->mutex);
        bell_->rung = true;
        bell_->woken.notify_one();
    }

    Paths results;
    Paths progress;
    int yields = 0;
    int waits = 0;
    // Runs in every turn: in each Yield(), and in each Wait() once it has slept.
    std::function<void()> onTurn;
    // When positive, no Wait() sleeps longer, as if the window had an event that often.
    Clock::duration waitAtMost{};
    // False for a run whose memory is measured: the texts, one a folder, would grow with the
    // tree, while the window shows only the last.
    bool keepProgress = true;

protected:
    // Sleeps until Wake() or `until`; a Wake() that came before is not lost.
    virtual void Sleep(Clock::time_point until) {
        std::unique_lock lock(bell_->mutex);
        bell_->woken.wait_until(lock, until, [this] { return bell_->rung; });
        bell_->rung = false;
    }
    void Turn() {
        if (onTurn) {
            onTurn();
        }
    }

private:
    struct Bell {
        std::mutex mutex;
        std::condition_variable woken;
        bool rung = false;
    };
    std::unique_ptr<Bell> bell_ = std::make_unique<Bell>(); // keeps the host movable
};

} // namespace scanvale::test
