#pragma once

#include <functional>

namespace zak {

// The means by which the serial port component reaches the window's thread (the thread that
// owns the TComm32 and calls StartComm, StopComm and WriteCommData). The window hands one to
// the component when it creates it; it must outlive the component.
//
// A Qt window implements it in a few lines:
//   Post:            return QMetaObject::invokeMethod(context, std::move(notification),
//                                                     Qt::QueuedConnection);
//   WaitAndDispatch: QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
// where `context` is a QObject living on the window's thread. Programs without a GUI event
// loop have a plain one (EventQueue.h).
class TNotificationSink {
  public:
    virtual ~TNotificationSink() = default;

    // Any thread. Queues `notification` to be run later on the window's thread, after every
    // notification posted before it (from any thread) and never inline. A notification owns
    // what it captures: it is destroyed after it has run, or unrun when the sink is torn down,
    // which releases the data block it carries either way. Returns false only when it cannot
    // be queued; the notification is then destroyed at once.
    // The component relies on the worker threads' notifications being queued: a sink that
    // refuses them leaves StartComm waiting for a ready notification that never comes.
    virtual bool Post(std::function<void()> notification) = 0;

    // Window's thread only. Runs the notifications that are pending; when none is pending,
    // first waits until one is posted. It may also run any other work the window's thread has
    // pending (window events, timers), and it may be called from inside a notification.
    // StartComm calls it in a loop while it waits for its threads to report ready.
    virtual void WaitAndDispatch() = 0;
};

}  // namespace zak
