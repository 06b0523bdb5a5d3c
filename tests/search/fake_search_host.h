#pragma once

#include "search/search_host.h"

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

// Records what the engine reports and runs a test's code inside Yield(), where the window
// would run its event handlers. Wait() blocks until Wake() is called or its time is up.
class FakeSearchHost : public scanvale::SearchHost {
public:
    void AddResult(std::string_view path) override { results.emplace_back(path); }
    void ShowProgress(std::string_view text) override { progress.emplace_back(text); }
    void Yield() override {
        ++yields;
        if (onYield) {
            onYield();
        }
    }
    void Wait(Clock::time_point until) override {
        ++waits;
        std::unique_lock lock(bell_->mutex);
        bell_->woken.wait_until(lock, until, [this] { return bell_->rung; });
        bell_->rung = false;
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
    std::function<void()> onYield;

private:
    struct Bell {
        std::mutex mutex;
        std::condition_variable woken;
        bool rung = false;
    };
    std::unique_ptr<Bell> bell_ = std::make_unique<Bell>(); // keeps the host movable
};

} // namespace scanvale::test
