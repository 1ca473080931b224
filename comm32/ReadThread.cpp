#include "ReadThread.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "Misc.h"

namespace zak {

namespace {

constexpr const char* WaitingLine = "Waiting for data from comm connection.";

}  // namespace

TReadThread::TReadThread(TCommThreadParams params, TReadSettings settings)
    : TCommThread(TCommThreadKind::Reader, std::move(params)), settings_(std::move(settings)) {}

TReadThread::~TReadThread() {
    Join();
}

bool TReadThread::Prepare() {
    if (settings_.LineErrorCounts)
        counts_ = settings_.LineErrorCounts(Port());
    WriteCommsLog(WaitingLine);
    return true;
}

void TReadThread::Execute() {
    TBurstCollector burst(settings_.BurstGap, BlockSize);
    pollfd waits[2] = {{StopEvent(), POLLIN, 0}, {Port(), POLLIN, 0}};
    for (;;) {
        const int result = ::poll(waits, 2, burst.PollTimeout(TBurstCollector::Clock::now()));
        if (result < 0) {
            if (errno == EINTR)
                continue;
            LogLastError(errno, "Read WAIT_FAILED: ");
            PostHangupRequest();
            return;
        }
        // The stop event ranks first: an unfinished burst is dropped.
        if (waits[0].revents != 0) {
            WriteCommsLog("Time to Exit");
            return;
        }
        // A line error ranks above the data that came with it.
        ReportLineErrors();
        if (waits[1].revents != 0 && ReadInto(burst, waits[1].revents) == TReadResult::Ended) {
            PostHangupRequest();
            return;
        }
        if (burst.Due(TBurstCollector::Clock::now())) {
            if (!HandleReadData(burst.Take())) {
                PostHangupRequest();
                return;
            }
            WriteCommsLog(WaitingLine);
        }
    }
}

TReadThread::TReadResult TReadThread::ReadInto(TBurstCollector& burst, short events) {
    const ssize_t count = ::read(Port(), burst.Space(), burst.Room());
    if (count > 0) {
        burst.Added(static_cast<std::size_t>(count), TBurstCollector::Clock::now());
        if (settings_.BurstComplete && settings_.BurstComplete(burst.Bytes(), burst.Size()))
            burst.EndNow();
        return TReadResult::Continue;
    }
    const int error = count == 0 ? 0 : errno;
    if (error == EINTR)
        return TReadResult::Continue;
    const bool hungUp = (events & (POLLHUP | POLLERR | POLLNVAL)) != 0;
    if (error == EAGAIN && !hungUp)
        return TReadResult::Continue;

    // The line has ended. The bytes received before the end still go out, ahead of the hang-up.
    if (!burst.Empty() && !HandleReadData(burst.Take()))
        return TReadResult::Ended;
    if (count == 0 || error == EAGAIN || IsDeviceGone(error)) {
        WriteCommsLog(DeviceGoneLine);
    } else {
        LogLastError(error, "Unexpected ReadFile error: ");
    }
    return TReadResult::Ended;
}

bool TReadThread::HandleReadData(TCommBlock block) {
    if (block.Count() == 0)
        return false;
    WriteCommsLog("Got something from Comm port!!!");
    return Notifier().PostData(std::move(block));
}

void TReadThread::ReportLineErrors() {
    if (!counts_)
        return;
    const std::optional<TLineErrorCounts> now = settings_.LineErrorCounts(Port());
    if (!now)
        return;
    const std::uint32_t flags = LineErrorFlags(*counts_, *now);
    counts_ = now;
    if ((flags & LineErrorEventFlags) == 0)
        return;
    Notifier().PostData(TCommBlock(CommEventReport(flags)));
}

void TReadThread::Shutdown() {
    ::tcflush(Port(), TCIFLUSH);
    WriteCommsLog("Read thread shutting down");
}

}  // namespace zak
