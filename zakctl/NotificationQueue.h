#pragma once

// The serial component's way to zakctl's main thread: notifications posted by the component's
// threads wait in a queue until the main thread runs them, in posting order, while it waits
// for a reply with a deadline.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "NotificationSink.h"

namespace zak::ctl {

class NotificationQueue final : public TNotificationSink {
  public:
    using Clock = std::chrono::steady_clock;

    NotificationQueue() = default;
    NotificationQueue(const NotificationQueue&) = delete;
    NotificationQueue& operator=(const NotificationQueue&) = delete;

    // Any thread.
    bool Post(std::function<void()> notification) override;

    // Main thread: waits until a notification is pending, then runs the pending ones.
    void WaitAndDispatch() override;

    // Main thread: waits until a notification is pending or `deadline` has come, then runs the
    // pending ones. False when the deadline came with nothing to run.
    bool DispatchUntil(Clock::time_point deadline);

  private:
    void RunPending(std::unique_lock<std::mutex>& lock);

    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> pending_;
};

}  // namespace zak::ctl
