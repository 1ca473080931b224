#include "WriteThread.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>
#include <utility>

#include "Misc.h"
#include "StopSignal.h"

namespace zak {

TWriteThread::TWriteThread(TCommThreadParams params)
    : TCommThread(TCommThreadKind::Writer, std::move(params)),
      wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (wake_ < 0)
        throw std::system_error(errno, std::generic_category(), "eventfd");
}

TWriteThread::~TWriteThread() {
    Join();
    ::close(wake_);
}

bool TWriteThread::Post(TCommBlock block) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (closed_)
            return false;
        queue_.push_back(std::move(block));
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(wake_, &one, sizeof one);
    return true;
}

std::optional<TCommBlock> TWriteThread::TakeBlock() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (queue_.empty())
        return std::nullopt;
    TCommBlock block = std::move(queue_.front());
    queue_.pop_front();
    return block;
}

void TWriteThread::CloseQueue() {
    std::deque<TCommBlock> unwritten;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closed_ = true;
        unwritten.swap(queue_);
    }
}

void TWriteThread::Execute() {
    pollfd waits[2] = {{StopEvent(), POLLIN, 0}, {wake_, POLLIN, 0}};
    for (;;) {
        std::optional<TCommBlock> block = TakeBlock();
        if (!block) {
            const int result = ::poll(waits, 2, -1);
            if (result < 0) {
                if (errno == EINTR)
                    continue;
                LogLastError(errno, "Write WAIT_FAILED: ");
                PostHangupRequest();
                return;
            }
            if (waits[0].revents != 0)
                return;
            // Emptied before the queue is looked at again, so no wake-up can be lost.
            std::uint64_t posted = 0;
            [[maybe_unused]] const ssize_t ignored = ::read(wake_, &posted, sizeof posted);
            continue;
        }
        // A block taken once the stop has come is dropped, not written.
        if (StopSignalled(StopEvent()))
            return;
        WriteCommsLog("Writing to comm port");
        if (!HandleWriteData(*block))
            return;
    }
}

bool TWriteThread::HandleWriteData(const TCommBlock& block) {
    const std::uint8_t* next = block.Data();
    std::size_t remaining = block.Count();
    bool waited = false;
    while (remaining > 0) {
        const ssize_t written = ::write(Port(), next, remaining);
        if (written > 0) {
            next += written;
            remaining -= static_cast<std::size_t>(written);
            continue;
        }
        const int error = written == 0 ? EAGAIN : errno;
        if (error == EINTR)
            continue;
        if (error == EAGAIN) {
            switch (WaitWritable()) {
                case TWaitResult::Writable:
                    waited = true;
                    continue;
                case TWaitResult::Stopped:
                case TWaitResult::Failed:
                    return false;
            }
        }
        if (IsDeviceGone(error)) {
            WriteCommsLog(DeviceGoneLine);
            return false;
        }
        LogLastError(error, waited ? "Error writing to CommFile while waiting"
                                   : "Error to writing to CommFile");
        WriteCommsLog("Closing TAPI");
        PostHangupRequest();
        return false;
    }
    return true;
}

TWriteThread::TWaitResult TWriteThread::WaitWritable() {
    pollfd waits[2] = {{StopEvent(), POLLIN, 0}, {Port(), POLLOUT, 0}};
    for (;;) {
        if (::poll(waits, 2, -1) >= 0)
            break;
        if (errno == EINTR)
            continue;
        LogLastError(errno, "Write WAIT_FAILED: ");
        PostHangupRequest();
        return TWaitResult::Failed;
    }
    // A stop while a write waits ends the writer quietly.
    return waits[0].revents != 0 ? TWaitResult::Stopped : TWaitResult::Writable;
}

void TWriteThread::Shutdown() {
    CloseQueue();
    ::tcflush(Port(), TCOFLUSH);
    WriteCommsLog("Write thread shutting down");
}

}  // namespace zak
