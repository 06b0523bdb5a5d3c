#pragma once

#include "event_loop_wait.h"
#include "frame_pacer.h"
#include "search/search_host.h"

#include <QByteArray>
#include <QList>
#include <string>

class QTableView;
class QTreeWidget;

namespace scanvale {

class ResultsModel;

// The search engine's view of the main window: matches go to the end of the results list,
// progress goes to the folder list's column header, and a yield handles the window's pending
// events, so any of its handlers (a stop request, another search) may run inside it.
//
// Between two turns the host only collects: the results found, and the latest progress text.
// Every turn (Yield, Wait) begins by putting both into the lists, in one append of rows and one
// header text, so whatever runs inside a turn (every handler of the window) sees every result
// and the header text the engine gave so far. The window is repainted at most once per frame of
// its screen while the host lives (a run's header and results can change thousands of times a
// second, which no screen shows).
class WindowSearchHost final : public SearchHost {
public:
    // Made on the window's thread, whose event loop Wait() and Wake() work on. Both lists belong
    // to one window, which outlives the host; `results` shows a ResultsModel.
    WindowSearchHost(QTreeWidget& folders, QTableView& results);
    // Puts what is still collected into the lists.
    ~WindowSearchHost() override;
    WindowSearchHost(const WindowSearchHost&) = delete;
    WindowSearchHost& operator=(const WindowSearchHost&) = delete;

    // Collects the path's exact bytes for the results list.
    void AddResult(std::string_view path) override;
    // Collects the text for the folder list's header (shown readably), in place of any text
    // collected before it.
    void ShowProgress(std::string_view text) override;
    // Applies what was collected and handles the window's pending events: one turn of its
    // event loop. A walk takes one at least every turn interval of the search (2 ms) and
    // before each listed folder, so a turn with nothing to do (0.6 µs on xcb here:
    // `scanvale_window_bench --yield-cost`) costs the window's thread well under a percent.
    void Yield() override;
    // Applies what was collected, then handles the window's events, sleeping in the event loop
    // (EventLoopWait) until Wake() or `until`, or without a time limit until an event came.
    void Wait(Clock::time_point until) override;
    // Ends the current or next Wait(), from any thread.
    void Wake() override;

    // Puts the results and header text collected since the last turn into the lists now.
    void Apply();
    // Applies what was collected and puts the lists as they are then on screen before
    // returning (before a run's "Done.").
    void PaintNow();

private:
    QTreeWidget& folders_;
    QTableView& results_;
    ResultsModel& rows_;
    EventLoopWait sleep_;
    FramePacer pacer_;
    // Collected since the last turn.
    QList<QByteArray> foundPaths_;
    std::string progress_;
    bool progressCollected_ = false;
};

} // namespace scanvale
