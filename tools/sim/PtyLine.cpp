#include "PtyLine.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

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

ssize_t PtyLine::writeSome(const std::uint8_t* bytes, std::size_t n) {
    const ssize_t w = ::write(master_, bytes, n);
    if (w < 0 && (errno == EAGAIN || errno == EINTR))
        return 0;
    return w;
}

}  // namespace zak::sim
