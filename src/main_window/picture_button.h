#pragma once

#include <QToolButton>

namespace scanvale {

// A push button that shows its picture centred above its caption; the caption wraps onto
// further lines when it is wider than the button, and a button too low for both shows the
// caption alone. Checkable picture buttons look pressed
// while checked.
class PictureButton : public QToolButton {
    Q_OBJECT

public:
    explicit PictureButton(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace scanvale
