#include "StopSignal.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace zak {

TStopSignal::TStopSignal() : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (fd_ < 0)
        error_ = errno;
}

TStopSignal::~TStopSignal() {
    if (fd_ >= 0)
        ::close(fd_);
}

void TStopSignal::Signal() {
    // The counter is never read, so once above zero it stays readable: a manual-reset event.
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(fd_, &one, sizeof one);
}

bool StopSignalled(int handle) {
    pollfd p{handle, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0;
}

}  // namespace zak
