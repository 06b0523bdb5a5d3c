#pragma once

#include "main_window/event_loop_wait.h"
#include "recording_host.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

namespace scanvale::test {

// RecordingHost whose turns handle the calling thread's Qt events, as the window's do: Yield()
// processes what is pending, Wait() sleeps in the event loop and Wake() wakes its dispatcher.
// Needs Qt Core and an application object on the calling thread.
class EventLoopHost : public RecordingHost {
public:
    void Yield() override {
        QCoreApplication::processEvents();
        RecordingHost::Yield();
    }
    void Wake() override { dispatcher_->wakeUp(); }

protected:
    void Sleep(Clock::time_point until) override { scanvale::WaitInEventLoop(until); }

private:
    QAbstractEventDispatcher* dispatcher_ = QAbstractEventDispatcher::instance();
};

} // namespace scanvale::test
