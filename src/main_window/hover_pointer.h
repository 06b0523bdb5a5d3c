#pragma once

#include "pointer_kind.h"

#include <QHash>
#include <QObject>

class QLineEdit;

namespace scanvale {

class Form1;
struct Form1Controls;

// The window's hover feedback: the hand over the four action buttons, the default pointer over
// the window's own surface and the phrase box. Every response is the same rule (Apply); the
// folder list applies it itself as the first step of its own move response. Moves over the
// options, the label, the hidden Command1 and the results list have no response and leave the
// window's pointer kind as it was.
class HoverPointer : public QObject {
    Q_OBJECT

public:
    // The rule of every pointer-move response: while the window is busy (hourglass) nothing
    // changes; otherwise the window's pointer kind becomes `value`, also when it already is.
    static void Apply(Form1& form, PointerKind value);

    // Watches pointer moves over the responding elements of `form`; owned by `form`.
    HoverPointer(Form1& form, const Form1Controls& controls);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Watch(QWidget* element, PointerKind value);
    void FollowWindowKind(PointerKind kind);

    Form1& form_;
    QLineEdit* phraseBox_;
    QHash<const QObject*, PointerKind> values_;
};

} // namespace scanvale
