#include "NotificationQueue.h"

#include <utility>

namespace zak::ctl {

bool NotificationQueue::Post(std::function<void()> notification) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        pending_.push_back(std::move(notification));
    }
    posted_.notify_one();
    return true;
}

void NotificationQueue::RunPending(std::unique_lock<std::mutex>& lock) {
    std::deque<std::function<void()>> batch;
    batch.swap(pending_);
    lock.unlock();
    // A notification that throws leaves the rest of the batch to be released unrun.
    for (auto& notification : batch) {
        notification();
        notification = nullptr;
    }
    lock.lock();
}

void NotificationQueue::WaitAndDispatch() {
    std::unique_lock<std::mutex> lock(mutex_);
    posted_.wait(lock, [this] { return !pending_.empty(); });
    RunPending(lock);
}

bool NotificationQueue::DispatchUntil(Clock::time_point deadline) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!posted_.wait_until(lock, deadline, [this] { return !pending_.empty(); }))
        return false;
    RunPending(lock);
    return true;
}

}  // namespace zak::ctl
