#pragma once

#include <chrono>

namespace zak {

// Time for the device link, which keeps no clock or timer of its own. The window implements
// it with a steady clock and a single-shot timer; tests with a clock they move by hand.
// Called on the window's thread only.
class LinkClock {
  public:
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~LinkClock() = default;

    // The current time of a monotonic clock.
    virtual TimePoint Now() = 0;

    // Asks for one call of ZakLink::Tick on the window's thread once `delay` has passed.
    // Ticks that come early or more often than asked do no harm.
    virtual void CallTickAfter(std::chrono::milliseconds delay) = 0;
};

}  // namespace zak
