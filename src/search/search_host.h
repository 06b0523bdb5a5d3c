#pragma once

#include <chrono>
#include <string_view>

namespace scanvale {

// What the search engine needs from the window, and nothing more. Every call but Wake()
// happens on the window's thread, inside the search; the engine's worker threads never call
// the window except through Wake().
class SearchHost {
public:
    virtual ~SearchHost() = default;

    // Appends one matching file to the end of the results list, by the window's next turn
    // (Yield, Wait) at the latest, so that whatever runs in that turn finds it there; the list
    // shows it with the window's next frame, so results appear while the search goes on.
    // `path` is the file's full path exactly as the file system gave it (bytes; not
    // necessarily valid UTF-8). No duplicate check.
    virtual void AddResult(std::string_view path) = 0;

    // Sets the progress text shown in the folder list's column header ("Searching " followed by
    // the folder being entered, bytes as the file system gave them), by the window's next turn
    // at the latest; a text set before it is replaced, and need never be shown.
    virtual void ShowProgress(std::string_view text) = 0;

    // Lets the window handle pending events (repaints, clicks, a stop request). Any window
    // handler may run inside this call, including one that starts another search.
    virtual void Yield() = 0;

    // Like Yield(), but sleeps while no event is pending, handling events as they come, until
    // Wake() is called or `until` has passed; without a time limit (time_point::max()) it may
    // also return once it has handled an event, so that a stop request is seen at once, and
    // with one it need not (a stop is then seen when the time is up). A Wake() that comes
    // before the Wait() is not lost: the Wait() then returns at once.
    using Clock = std::chrono::steady_clock;
    virtual void Wait(Clock::time_point until) = 0;

    // Ends the current or the next Wait(). May be called from any thread.
    virtual void Wake() = 0;
};

} // namespace scanvale
