#pragma once

#include <QMargins>
#include <optional>

class QWidget;

namespace scanvale {

// The frame that the window manager says it will draw around the top-level `window` once the
// window is shown: the widths of its left, top, right and bottom parts (caption bar included),
// in the window's device-independent pixels. Ask before the window is first shown.
//
// On X11 this creates the native window, unmapped, and asks the window manager for its
// estimate (_NET_REQUEST_FRAME_EXTENTS), which it gives by setting _NET_FRAME_EXTENTS on the
// window; the answer is awaited for at most half a second. Empty when no answer comes:
// another platform, no window manager, or one that does not offer the estimate.
std::optional<QMargins> AnnouncedFrameMargins(QWidget& window);

} // namespace scanvale
