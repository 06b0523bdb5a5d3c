#pragma once

#include "search/search_host.h"

class QAbstractEventDispatcher;
class QTableWidget;
class QTreeWidget;

namespace scanvale {

// The search engine's view of the main window: matches go to the end of the results list,
// progress goes to the folder list's column header, and a yield handles the window's pending
// events, so any of its handlers (a stop request, another search) may run inside it.
class WindowSearchHost final : public SearchHost {
public:
    // Made on the window's thread, whose event loop Wait() and Wake() work on.
    WindowSearchHost(QTreeWidget& folders, QTableWidget& results);

    // Appends the path as a result item: readable text, exact bytes kept for the save.
    void AddResult(std::string_view path) override;
    // Writes the text into the folder list's header, shown readably.
    void ShowProgress(std::string_view text) override;
    void Yield() override;
    // Handles the window's events, sleeping in the event loop until one arrives or Wake().
    void Wait() override;
    // The event loop's own wake-up: it persists until the loop next looks for events.
    void Wake() override;

private:
    QTreeWidget& folders_;
    QTableWidget& results_;
    QAbstractEventDispatcher* dispatcher_;
};

} // namespace scanvale
