#pragma once

#include "search/search_host.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Records what the engine reports and runs a test's code inside Yield(), where the window
// would run its event handlers.
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

    std::vector<std::string> results;
    std::vector<std::string> progress;
    int yields = 0;
    std::function<void()> onYield;
};
