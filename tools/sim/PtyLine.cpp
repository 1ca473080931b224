#include "PtyLine.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace zak::sim {

namespace {

void makeRaw(int fd) {
    termios t{};
    if (::tcgetattr(fd, &t) != 0)
        return;
    ::cfmakeraw(&t);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    ::tcsetattr(fd, TCSANOW, &t);
}

// How long a full line may keep the unit from writing before it gives the bytes up.
constexpr int WriteStallMs = 1000;

}  // namespace

PtyLine::PtyLine() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
        throw std::runtime_error("cannot create a pseudo-terminal");
    const char* name = ::ptsname(master_);
    if (name == nullptr)
        throw std::runtime_error("cannot name the pseudo-terminal");
    path_ = name;
    terminal_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (terminal_ < 0)
        throw std::runtime_error("cannot open " + path_);
    makeRaw(terminal_);
    makeRaw(master_);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
}

PtyLine::~PtyLine() {
    if (terminal_ >= 0)
        ::close(terminal_);
    if (master_ >= 0)
        ::close(master_);
}

ssize_t PtyLine::read(std::uint8_t* buffer, std::size_t n) {
    const ssize_t got = ::read(master_, buffer, n);
    if (got < 0 && (errno == EAGAIN || errno == EINTR))
        return 0;
    return got;
}

bool PtyLine::write(const LineChunk& chunk, std::chrono::microseconds byteTime) {
    if (chunk.pauseBefore.count() > 0)
        std::this_thread::sleep_for(chunk.pauseBefore);
    if (byteTime.count() == 0)
        return writeAll(chunk.bytes.data(), chunk.bytes.size());
    // Deadlines from the first byte on, so that the pace does not drift.
    auto next = std::chrono::steady_clock::now();
    for (const std::uint8_t b : chunk.bytes) {
        std::this_thread::sleep_until(next);
        if (!writeAll(&b, 1))
            return false;
        next += byteTime;
    }
    std::this_thread::sleep_until(next);
    return true;
}

bool PtyLine::writeAll(const std::uint8_t* bytes, std::size_t n) {
    std::size_t done = 0;
    while (done < n) {
        const ssize_t w = ::write(master_, bytes + done, n - done);
        if (w > 0) {
            done += static_cast<std::size_t>(w);
            continue;
        }
        if (w < 0 && errno == EINTR)
            continue;
        if (w < 0 && errno != EAGAIN)
            return false;
        pollfd p{master_, POLLOUT, 0};
        if (::poll(&p, 1, WriteStallMs) <= 0)
            return false;
    }
    return true;
}

}  // namespace zak::sim
