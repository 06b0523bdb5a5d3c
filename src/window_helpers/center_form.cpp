#include "center_form.h"

#include "announced_frame.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace scanvale {

namespace {

int Half(int free) {
    return static_cast<int>(std::floor(static_cast<float>(free) / 2.0f));
}

} // namespace

QPoint CenteredPosition(const QRect& screen, const QSize& window) {
    return {screen.left() + Half(screen.width() - window.width()),
            screen.top() + Half(screen.height() - window.height())};
}

void CenterForm(QWidget& form) {
    QScreen* screen = form.screen();
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return;
    }
    // The frame is not drawn before the window is first shown, and the toolkit measures it only
    // afterwards; the window manager's announcement gives its size beforehand, so the window
    // appears where it stays. Without one the window is centred as having no frame.
    const QMargins frame = AnnouncedFrameMargins(form).value_or(QMargins());
    const QPoint corner = CenteredPosition(screen->geometry(), form.size().grownBy(frame));
    // The geometry is that of the client area, inside the frame.
    form.setGeometry(QRect(corner + QPoint(frame.left(), frame.top()), form.size()));
}

} // namespace scanvale
