#pragma once

#include <QBasicTimer>
#include <QElapsedTimer>
#include <QObject>

class QWidget;

namespace scanvale {

// Paints a window at most once per frame of its screen while the pacer lives. Every change to
// a widget still happens at once: only the repaint that the toolkit asks for (the window's
// UpdateRequest) is held back when the last one was less than a frame ago, and is delivered by
// a timer when the frame is up, with everything that changed meanwhile. The window is painted
// at once when a modal dialog opens over it and when PaintNow is called, and a held-back
// repaint is delivered when the pacer ends.
//
// Pacers may nest on one window (a run started inside another's yield): a repaint that one of
// them delivers passes all of them.
class FramePacer final : public QObject {
public:
    // Paces `window`, a top-level widget that outlives the pacer.
    explicit FramePacer(QWidget& window);
    ~FramePacer() override;
    FramePacer(const FramePacer&) = delete;
    FramePacer& operator=(const FramePacer&) = delete;

    // Puts the window's current state on screen before returning.
    void PaintNow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void Deliver();

    QWidget& window_;
    qint64 frameNs_;
    QElapsedTimer sinceFrame_;
    QBasicTimer frameTimer_;
    bool held_ = false;
};

} // namespace scanvale
