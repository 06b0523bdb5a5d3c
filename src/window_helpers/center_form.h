#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace scanvale {

// Where a window of outer size `window` goes to sit in the middle of `screen`: each half is
// computed in single precision and truncated towards minus infinity to whole pixels. Nothing
// is clamped, so a window larger than the screen gets a negative coordinate.
QPoint CenteredPosition(const QRect& screen, const QSize& window);

// Places `form`, not yet shown, in the middle of the full geometry of its screen (task bars
// and panels are not taken off), measuring the window by its outer size: frame and caption
// bar included, as the window manager announces the frame before the window is shown. Where
// no frame is announced (no window manager, or one that announces none) the window is
// measured by its client area.
void CenterForm(QWidget& form);

} // namespace scanvale
