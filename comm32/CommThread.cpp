#include "CommThread.h"

#include <cerrno>
#include <utility>

namespace zak {

const char* const DeviceGoneLine =
    "ERROR_INVALID_HANDLE, Likely that the Service Provider has closed the port.";

bool IsDeviceGone(int error) {
    return error == EIO || error == ENXIO || error == ENODEV || error == EBADF;
}

TCommThread::TCommThread(TCommThreadKind kind, TCommThreadParams params)
    : kind_(kind), params_(std::move(params)) {}

TCommThread::~TCommThread() {
    Join();
}

void TCommThread::Resume() {
    thread_ = std::thread(&TCommThread::Run, this);
}

bool TCommThread::WaitFor(std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> lock(mutex_);
    return endedSignal_.wait_for(lock, limit, [this] { return ended_; });
}

void TCommThread::Join() {
    if (thread_.joinable())
        thread_.join();
}

void TCommThread::Run() {
    bool ready = false;
    try {
        if (Prepare()) {
            ready = true;
            if (Notifier().PostReady(kind_)) {
                Execute();
            } else {
                PostHangupRequest();
            }
        } else {
            Notifier().PostStartFailed(kind_);
        }
    } catch (...) {
        try {
            if (ready) {
                PostHangupRequest();
            } else {
                Notifier().PostStartFailed(kind_);
            }
        } catch (...) {
            // Not even the notification could be had (no memory); nothing is left to try.
        }
    }
    try {
        Shutdown();
    } catch (...) {
        // The thread is ending either way; its shutdown line is all that is lost.
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ended_ = true;
    }
    endedSignal_.notify_all();
}

}  // namespace zak
