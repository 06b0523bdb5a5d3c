#include "frame_pacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QScreen>
#include <QTimerEvent>
#include <QWidget>

namespace scanvale {

namespace {

// Screens that report no refresh rate are taken to refresh at 60 Hz.
constexpr qreal DefaultRefreshRate = 60;

// True while a pacer delivers a repaint, which every pacer on the window then lets pass.
bool delivering = false;

} // namespace

FramePacer::FramePacer(QWidget& window) : window_(window) {
    const QScreen* screen = window.screen();
    const qreal rate = screen != nullptr && screen->refreshRate() >= 1 ? screen->refreshRate()
                                                                       : DefaultRefreshRate;
    frameNs_ = static_cast<qint64>(1e9 / rate);
    window_.installEventFilter(this);
}

FramePacer::~FramePacer() {
    window_.removeEventFilter(this);
    // A held-back repaint must not be lost: until it is delivered the toolkit asks for no
    // other, and the window would show nothing more.
    if (held_) {
        Deliver();
    }
}

void FramePacer::PaintNow() {
    // Delivered even when nothing is held: the last changes may have asked for a repaint that
    // the event loop has not handed over yet.
    Deliver();
}

bool FramePacer::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &window_) {
        return false;
    }
    if (event->type() == QEvent::WindowBlocked) {
        // A modal dialog opens over the window: it shows over what the window holds now, also
        // when the last change's repaint request is still waiting in the event queue.
        Deliver();
        return false;
    }
    if (event->type() != QEvent::UpdateRequest || delivering) {
        return false;
    }
    if (!sinceFrame_.isValid() || sinceFrame_.nsecsElapsed() >= frameNs_) {
        sinceFrame_.restart();
        frameTimer_.stop();
        held_ = false;
        return false;
    }
    held_ = true;
    if (!frameTimer_.isActive()) {
        const qint64 waitNs = frameNs_ - sinceFrame_.nsecsElapsed();
        frameTimer_.start(static_cast<int>((waitNs + 999999) / 1000000), Qt::PreciseTimer, this);
    }
    return true;
}

void FramePacer::timerEvent(QTimerEvent* event) {
    if (event->timerId() != frameTimer_.timerId()) {
        QObject::timerEvent(event);
        return;
    }
    Deliver();
}

void FramePacer::Deliver() {
    frameTimer_.stop();
    held_ = false;
    sinceFrame_.restart();
    // The window handles the request as it would a posted one: it paints every widget marked
    // for repainting and hands the result to the window system.
    QEvent request(QEvent::UpdateRequest);
    const bool outer = delivering;
    delivering = true;
    QCoreApplication::sendEvent(&window_, &request);
    delivering = outer;
}

} // namespace scanvale
