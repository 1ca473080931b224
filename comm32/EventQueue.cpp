#include "EventQueue.h"

#include <utility>

namespace zak {

bool TEventQueue::Post(std::function<void()> notification) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        pending_.push_back(std::move(notification));
    }
    posted_.notify_one();
    return true;
}

void TEventQueue::RunPending(std::unique_lock<std::mutex>& lock, std::size_t count) {
    while (count-- > 0 && !pending_.empty()) {
        std::function<void()> next = std::move(pending_.front());
        pending_.pop_front();
        lock.unlock();
        try {
            next();
        } catch (...) {
            // Release what the notification holds on this thread, outside the lock.
            next = nullptr;
            lock.lock();
            throw;
        }
        next = nullptr;
        lock.lock();
    }
}

void TEventQueue::WaitAndDispatch() {
    std::unique_lock<std::mutex> lock(mutex_);
    posted_.wait(lock, [this] { return !pending_.empty(); });
    RunPending(lock, pending_.size());
}

void TEventQueue::DispatchPending() {
    std::unique_lock<std::mutex> lock(mutex_);
    RunPending(lock, pending_.size());
}

bool TEventQueue::DispatchUntil(std::chrono::steady_clock::time_point deadline) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!posted_.wait_until(lock, deadline, [this] { return !pending_.empty(); }))
        return false;
    RunPending(lock, pending_.size());
    return true;
}

bool TEventQueue::DispatchUntil(const std::function<bool()>& done,
                                std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        RunPending(lock, pending_.size());
        lock.unlock();
        const bool finished = done();
        lock.lock();
        if (finished)
            return true;
        if (!posted_.wait_until(lock, deadline, [this] { return !pending_.empty(); })) {
            lock.unlock();
            return done();
        }
    }
}

}  // namespace zak
