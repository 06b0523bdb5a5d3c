#include "busy_cover.h"

namespace scanvale {

void BusyCover::Cover() {
    if (covered_) {
        return;
    }
    covered_ = true;
    const QList<QWidget*> controls = window_.findChildren<QWidget*>();
    for (QWidget* control : controls) {
        if (control->window() == &window_ && control->testAttribute(Qt::WA_SetCursor)) {
            ownPointers_.emplace_back(control, control->cursor());
            control->setCursor(Qt::WaitCursor);
        }
    }
}

void BusyCover::Uncover() {
    if (!covered_) {
        return;
    }
    covered_ = false;
    for (auto& [control, pointer] : ownPointers_) {
        if (control) {
            control->setCursor(pointer);
        }
    }
    ownPointers_.clear();
}

} // namespace scanvale
