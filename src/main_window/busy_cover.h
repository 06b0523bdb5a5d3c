#pragma once

#include <QCursor>
#include <QPointer>
#include <QWidget>
#include <utility>
#include <vector>

namespace scanvale {

// Shows the hourglass over every control of a window while the window is busy. A control
// inherits the window's pointer unless it shows one of its own (the phrase box's text
// pointer); those get the hourglass while covered and their own pointer back afterwards.
// Dialogs owned by the window are windows of their own and are left alone.
class BusyCover {
public:
    explicit BusyCover(QWidget& window) : window_(window) {}

    // Puts the hourglass over the controls with a pointer of their own; a second Cover
    // before Uncover changes nothing.
    void Cover();
    // Gives those controls back the pointer they had.
    void Uncover();

private:
    QWidget& window_;
    bool covered_ = false;
    std::vector<std::pair<QPointer<QWidget>, QCursor>> ownPointers_;
};

} // namespace scanvale
