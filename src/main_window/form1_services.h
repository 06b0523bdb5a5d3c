#pragma once

#include <QString>
#include <functional>

namespace scanvale {

class Dialogs;

// What the main window needs from outside itself. The program passes the real services; tests
// pass recorders so that nothing opens a browser or ends the test process.
struct Form1Services {
    // Asks the user; must outlive the window.
    Dialogs* dialogs = nullptr;
    // The one-in-a-hundred home-page draw made while the window loads.
    std::function<void()> maybeOpenHomePage;
    // Ends the process when the window is closed; the real one does not return.
    std::function<void()> endProcess;
    // The folder where the optional hand pointer image HAND-M.CUR is looked for; the
    // executable's folder when empty.
    QString pointerImageFolder;
};

} // namespace scanvale
