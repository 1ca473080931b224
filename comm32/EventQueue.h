#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "NotificationSink.h"

namespace zak {

// A window's-thread event queue in plain C++: notifications posted from any thread are run,
// in posting order, by whichever thread dispatches them (the "window's thread"; one thread
// only). For programs without a GUI event loop: zakctl, the link soak and the tests. It is a
// library of its own beside the component, which never needs it.
class TEventQueue final : public TNotificationSink {
  public:
    TEventQueue() = default;
    TEventQueue(const TEventQueue&) = delete;
    TEventQueue& operator=(const TEventQueue&) = delete;
    // Notifications still pending are destroyed unrun.
    ~TEventQueue() override = default;

    // Any thread. Never fails.
    bool Post(std::function<void()> notification) override;

    // Window's thread. Waits until a notification is pending, then runs those pending at that
    // moment. An exception from a notification propagates; that notification is not rerun.
    void WaitAndDispatch() override;

    // Window's thread. Runs the notifications pending now, without waiting.
    void DispatchPending();

    // Window's thread. Waits until a notification is pending or `deadline` has come, then runs
    // the pending ones. False when the deadline came with nothing to run.
    bool DispatchUntil(std::chrono::steady_clock::time_point deadline);

    // Window's thread. Runs notifications as they come until `done()` holds or `limit` has
    // passed; returns `done()`. The limit is a safety net for tests, not a timing condition.
    bool DispatchUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

  private:
    // Runs at most `count` pending notifications, the lock released while each runs.
    void RunPending(std::unique_lock<std::mutex>& lock, std::size_t count);

    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> pending_;
};

}  // namespace zak
