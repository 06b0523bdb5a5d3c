#include "center_form.h"

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
    // For a top-level widget, move() places the outer frame, matching frameGeometry().
    form.move(CenteredPosition(screen->geometry(), form.frameGeometry().size()));
}

} // namespace scanvale
