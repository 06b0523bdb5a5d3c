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

void SearchFolder(const std::string& folder,
                  const std::vector<std::string>& /*ExtensionFilter: always {"*"}*/,
                  const std::string& phrase, int16_t CompareMode, int16_t IncludeSubfolders,
                  scanvale::SearchHost& results, const SearchSettings& settings) {
    const Query query{.phrase = phrase,
                      .comparison = CompareMode == 0 ? Comparison::Exact : Comparison::Caseless,
                      .includeSubfolders = IncludeSubfolders != 0};
    SearchFolder(folder, query, results, settings);
}

// The window's part of a walk: shows what the workers found, in order, and gives the window its
// turn at least every yieldInterval, or waits in the event loop when nothing is ready.
void SearchFolder(const std::string& folder, const Query& query, scanvale::SearchHost& results,
                  const SearchSettings& settings) {
    using Clock = std::chrono::steady_clock;
    const std::shared_ptr<Pipeline> pipeline = Pipeline::Start(folder, query, settings, results);
    const Leaving leaving{*pipeline};
    auto turnDue = Clock::now() + settings.yieldInterval;
    // Gives the window its turn, sleeping in it until `until` when that is later than now;
    // true when the search is to stop.
    auto turn = [&](Clock::time_point until) {
        if (until > Clock::now()) {
            results.Wait(until);
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
            if (Clock::now() >= turnDue && turn({})) {
                return;
            }
        }
        if (state == Pipeline::Progress::Finished) {
            return;
        }
        if (state == Pipeline::Progress::Blocked) {
            if (turn(Clock::time_point::max())) {
                return;
            }
        } else if (state == Pipeline::Progress::Doze) {
            if (turn(Clock::now() + settings.yieldInterval)) {
                return;
            }
        } else if (Clock::now() >= turnDue && turn({})) {
            return;
        }
    }
}

} // namespace scanvale::Search
