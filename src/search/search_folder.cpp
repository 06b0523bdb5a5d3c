#include "search/globals.h"
#include "search/pipeline.h"
#include "search/search.h"

#include <chrono>

namespace scanvale::Search {

namespace {

// Leaves the pipeline on every way out of the window's part of a walk.
struct Leaving {
    Pipeline& pipeline;
    ~Leaving() { pipeline.Leave(); }
};

} // namespace

// The window's part of a walk: shows what the workers found, in order, and gives the window its
// turn at least every yieldInterval, or waits in the event loop when nothing is ready.
void SearchFolder(const std::string& folder, const std::vector<std::string>& ExtensionFilter,
                  const std::string& phrase, int16_t CompareMode, int16_t IncludeSubfolders,
                  scanvale::SearchHost& results, const SearchSettings& settings) {
    using Clock = std::chrono::steady_clock;
    const std::shared_ptr<Pipeline> pipeline = Pipeline::Start(
        folder, ExtensionFilter, phrase, CompareMode, IncludeSubfolders != 0, settings, results);
    const Leaving leaving{*pipeline};
    auto turnDue = Clock::now() + settings.yieldInterval;
    // Gives the window its turn; true when the search is to stop.
    auto turn = [&](bool wait) {
        if (wait) {
            results.Wait();
        } else {
            results.Yield();
        }
        turnDue = Clock::now() + settings.yieldInterval;
        return Globals::StopSearch;
    };
    std::vector<Pipeline::Event> events;
    std::string progress;
    for (;;) {
        const Pipeline::Progress state = pipeline->Take(events);
        for (const Pipeline::Event& event : events) {
            if (event.found) {
                results.AddResult(event.path);
            } else {
                progress.assign("Searching ").append(event.path);
                results.ShowProgress(progress);
            }
            if (Clock::now() >= turnDue && turn(false)) {
                return;
            }
        }
        if (state == Pipeline::Progress::Finished) {
            return;
        }
        if (state == Pipeline::Progress::Blocked) {
            if (turn(true)) {
                return;
            }
        } else if (Clock::now() >= turnDue && turn(false)) {
            return;
        }
    }
}

} // namespace scanvale::Search
