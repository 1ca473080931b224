#include "CommDevice.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <utility>

#include "ECommsError.h"

namespace zak {

namespace {

struct SpeedCode {
    std::uint32_t rate;
    speed_t code;
};

constexpr SpeedCode Speeds[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

tcflag_t SizeFlag(std::uint8_t byteSize) {
    switch (byteSize) {
        case 5:
            return CS5;
        case 6:
            return CS6;
        case 7:
            return CS7;
        default:
            return CS8;
    }
}

tcflag_t ParityFlags(TParity parity) {
    switch (parity) {
        case TParity::pOdd:
            return PARENB | PARODD;
        case TParity::pEven:
            return PARENB;
        case TParity::pMark:
            return PARENB | PARODD | CMSPAR;
        case TParity::pSpace:
            return PARENB | CMSPAR;
        case TParity::pNone:
            break;
    }
    return 0;
}

}  // namespace

void ApplyLineSettings(int fd, const TLineSettings& settings) {
    termios t{};
    if (::tcgetattr(fd, &t) != 0)
        return;
    t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                   IXANY | INPCK | IUCLC | IMAXBEL);
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB);
    t.c_cflag |= CREAD | CLOCAL | SizeFlag(settings.ByteSize) | ParityFlags(settings.Parity);
    // With 5 data bits the UART sends one and a half stop bits for CSTOPB.
    if (settings.StopBits != TStopBits::sb1_0)
        t.c_cflag |= CSTOPB;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    for (const SpeedCode& speed : Speeds) {
        if (speed.rate == settings.BaudRate) {
            ::cfsetispeed(&t, speed.code);
            ::cfsetospeed(&t, speed.code);
        }
    }
    ::tcsetattr(fd, TCSANOW, &t);
}

TCommDevice TCommDevice::Open(const std::string& path, const TLineSettings& settings,
                              const std::string& lockDirectory) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw ECommsError("Error opening com port");
    TCommDevice device(fd);
    if (::isatty(fd) == 0)
        throw ECommsError("File handle is not a comm handle. ");
    // Root gets past another program's exclusive mark: respect it, and leave it as it is.
    int marked = 0;
    if (::ioctl(fd, TIOCGEXCL, &marked) == 0 && marked != 0)
        throw ECommsError("Error opening com port");
    device.lock_ = TPortLock::Take(path, lockDirectory);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        throw ECommsError("Error opening com port");
    struct stat st {};
    if (::fstat(fd, &st) == 0) {
        device.path_ = path;
        device.device_ = st.st_rdev;
    }
    device.exclusive_ = ::ioctl(fd, TIOCEXCL) == 0;
    ApplyLineSettings(fd, settings);
    return device;
}

TCommDevice::TCommDevice(TCommDevice&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      path_(std::move(other.path_)),
      device_(other.device_),
      exclusive_(std::exchange(other.exclusive_, false)),
      lock_(std::move(other.lock_)) {}

TCommDevice& TCommDevice::operator=(TCommDevice&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
        device_ = other.device_;
        exclusive_ = std::exchange(other.exclusive_, false);
        lock_ = std::move(other.lock_);
    }
    return *this;
}

TCommDevice::~TCommDevice() {
    Close();
}

void TCommDevice::Close() {
    if (fd_ < 0)
        return;
    // The exclusive mark belongs to the device, not to our descriptor: take ours off again.
    if (exclusive_ && ::ioctl(fd_, TIOCNXCL) != 0)
        ClearOwnMarkAfterHangup();
    ::close(fd_);  // releases the flock
    fd_ = -1;
    exclusive_ = false;
    lock_ = TPortLock();
}

// A hung-up descriptor takes no more requests, yet the terminal keeps our mark as long as
// someone else holds it open: take the mark off through a fresh descriptor of the same device.
// While it was marked, no other program could have opened it to set a mark of its own.
void TCommDevice::ClearOwnMarkAfterHangup() const {
    if (path_.empty())
        return;
    const int again = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (again < 0)
        return;
    struct stat st {};
    if (::fstat(again, &st) == 0 && st.st_rdev == device_)
        ::ioctl(again, TIOCNXCL);
    ::close(again);
}

}  // namespace zak
