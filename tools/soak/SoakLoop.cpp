#include "SoakLoop.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace zak::soak {

bool SoakLoop::Post(std::function<void()> notification) {
    return notifications_.Post(std::move(notification));
}

void SoakLoop::WaitAndDispatch() {
    notifications_.WaitAndDispatch();
    runTimersDue();
}

void SoakLoop::after(std::chrono::milliseconds delay, std::function<void()> work) {
    timers_.emplace(Clock::now() + delay, std::move(work));
}

bool SoakLoop::runTimersDue() {
    std::vector<std::function<void()>> due;
    const auto now = Clock::now();
    while (!timers_.empty() && timers_.begin()->first <= now) {
        due.push_back(std::move(timers_.begin()->second));
        timers_.erase(timers_.begin());
    }
    // Taken out first: the work may set timers itself.
    for (auto& work : due)
        work();
    return !due.empty();
}

bool SoakLoop::runUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (!done()) {
        if (runTimersDue())
            continue;
        if (Clock::now() >= end)
            return done();
        // `done` may turn on time alone: look at it again now and then.
        auto wake = std::min(end, Clock::now() + std::chrono::milliseconds{10});
        if (!timers_.empty() && timers_.begin()->first < wake)
            wake = timers_.begin()->first;
        notifications_.DispatchUntil(wake);
    }
    return true;
}

}  // namespace zak::soak
