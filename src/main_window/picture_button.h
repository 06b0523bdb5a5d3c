#pragma once

#include <QToolButton>

namespace scanvale {

// A push button that shows its picture centred above its caption; the caption wraps onto
// further lines when it is wider than the button, and a button too low for both shows the
// caption alone. Checkable picture buttons look pressed while checked.
class PictureButton : public QToolButton {
    Q_OBJECT

public:
    explicit PictureButton(QWidget* parent);

    // The click of a push-style check box, whose handler runs on every change of its value:
    // true when the button is checked, that is, pressed. The button is then unchecked again
    // before this returns, which runs the handler once more, nested; there this finds the
    // button unchecked and returns false, and so the nested run does nothing.
    bool TakePress();

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace scanvale
