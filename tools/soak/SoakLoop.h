#pragma once

// The soak's window thread: notifications posted by the serial component's threads and timers
// asked for by the link, run in order on the one thread that calls runUntil().

#include <chrono>
#include <functional>
#include <map>

#include "EventQueue.h"
#include "NotificationSink.h"

namespace zak::soak {

class SoakLoop final : public TNotificationSink {
  public:
    using Clock = std::chrono::steady_clock;

    // Any thread.
    bool Post(std::function<void()> notification) override;
    // The loop's thread: runs what is pending, first waiting for a notification when none is.
    void WaitAndDispatch() override;

    // The loop's thread: runs `work` once `delay` has passed.
    void after(std::chrono::milliseconds delay, std::function<void()> work);

    // The loop's thread: runs notifications and timers until `done()` holds or `limit` has
    // passed; returns `done()`. `done` is looked at after each piece of work and every 10 ms.
    bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

  private:
    // Runs the timers that are due; false when none was.
    bool runTimersDue();

    TEventQueue notifications_;
    std::multimap<Clock::time_point, std::function<void()>> timers_;
};

}  // namespace zak::soak
