#pragma once

#include "main_window/event_loop_wait.h"
#include "recording_host.h"

#include <QCoreApplication>

namespace scanvale::test {

// RecordingHost whose turns handle the calling thread's Qt events, as the window's do: Yield()
// processes what is pending, Wait() sleeps in the event loop as the window's does
// (EventLoopWait) and Wake() ends that.
// Needs Qt Core and an application object on the calling thread.
class EventLoopHost : public RecordingHost {
public:
    void Yield() override {
        QCoreApplication::processEvents();
        RecordingHost::Yield();
    }
    void Wake() override { sleep_.Wake(); }

protected:
    void Sleep(Clock::time_point until) override { sleep_.Wait(until); }

private:
    scanvale::EventLoopWait sleep_;
};

} // namespace scanvale::test
