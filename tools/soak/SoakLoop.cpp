#include "SoakLoop.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace zak::soak {

bool SoakLoop::Post(std::function<void()> notification) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        pending_.push_back(std::move(notification));
    }
    posted_.notify_one();
    return true;
}

void SoakLoop::WaitAndDispatch() {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        posted_.wait(lock, [this] { return !pending_.empty(); });
    }
    runDue();
}

void SoakLoop::after(std::chrono::milliseconds delay, std::function<void()> work) {
    timers_.emplace(Clock::now() + delay, std::move(work));
}

bool SoakLoop::runDue() {
    std::vector<std::function<void()>> due;
    const auto now = Clock::now();
    while (!timers_.empty() && timers_.begin()->first <= now) {
        due.push_back(std::move(timers_.begin()->second));
        timers_.erase(timers_.begin());
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        while (!pending_.empty()) {
            due.push_back(std::move(pending_.front()));
            pending_.pop_front();
        }
    }
    // Run without the lock: the work may post or set timers itself.
    for (auto& work : due)
        work();
    return !due.empty();
}

bool SoakLoop::runUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (!done()) {
        if (runDue())
            continue;
        // `done` may turn on time alone: look at it again now and then.
        auto wake = std::min(end, Clock::now() + std::chrono::milliseconds{10});
        if (!timers_.empty() && timers_.begin()->first < wake)
            wake = timers_.begin()->first;
        if (Clock::now() >= end)
            return done();
        std::unique_lock<std::mutex> lock(mutex_);
        posted_.wait_until(lock, wake, [this] { return !pending_.empty(); });
    }
    return true;
}

}  // namespace zak::soak
