#pragma once

#include "frame_pacer.h"
#include "search/search_host.h"

#include <QElapsedTimer>

class QAbstractEventDispatcher;
class QTableView;
class QTreeWidget;

namespace scanvale {

class ResultsModel;

// The search engine's view of the main window: matches go to the end of the results list,
// progress goes to the folder list's column header, and a yield handles the window's pending
// events, so any of its handlers (a stop request, another search) may run inside it.
//
// Both lists change at once, so whatever runs inside a yield sees every result and header
// text; the window is repainted at most once per frame of its screen while the host lives
// (a run's header and results can change thousands of times a second, which no screen shows).
class WindowSearchHost final : public SearchHost {
public:
    // Made on the window's thread, whose event loop Wait() and Wake() work on. Both lists belong
    // to one window, which outlives the host; `results` shows a ResultsModel.
    WindowSearchHost(QTreeWidget& folders, QTableView& results);

    // Appends the path's exact bytes as a row of the results list.
    void AddResult(std::string_view path) override;
    // Writes the text into the folder list's header, shown readably.
    void ShowProgress(std::string_view text) override;
    // Handles what the program posted for the window at once, and takes a full turn of the
    // event loop (input, timers) when the last one is a millisecond old: a caller that yields
    // more often (a single file's examination yields before each block) does not pay for a
    // full turn each time.
    void Yield() override;
    // Handles the window's events, sleeping in the event loop until one arrives, Wake() or
    // `until`.
    void Wait(Clock::time_point until) override;
    // The event loop's own wake-up: it persists until the loop next looks for events.
    void Wake() override;

    // Puts the lists as they are now on screen before returning (before a run's "Done.").
    void PaintNow();

private:
    QTreeWidget& folders_;
    QTableView& results_;
    ResultsModel& rows_;
    QAbstractEventDispatcher* dispatcher_;
    FramePacer pacer_;
    QElapsedTimer sinceFullTurn_;
};

} // namespace scanvale
