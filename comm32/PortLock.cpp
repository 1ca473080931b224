#include "PortLock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "ECommsError.h"
#include "Misc.h"

namespace zak {

namespace {

// Lost races with another program taking the same lock before we give up.
constexpr int TakeAttempts = 3;

// The process id in a lock file, or 0 when there is none to be read. Other programs write it
// in decimal, padded with blanks; leading blanks are skipped.
pid_t LockOwner(const std::string& path, bool& exists) {
    exists = false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        // One that exists but cannot be read names no process we could check.
        struct stat st {};
        exists = errno != ENOENT && ::lstat(path.c_str(), &st) == 0;
        return 0;
    }
    exists = true;
    char text[32] = {};
    const ssize_t count = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (count <= 0)
        return 0;
    char* end = nullptr;
    const long pid = std::strtol(text, &end, 10);
    return end != text && pid > 0 && pid == static_cast<pid_t>(pid) ? static_cast<pid_t>(pid) : 0;
}

bool ProcessHasEnded(pid_t pid) {
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

// A lock file that names no process, or a live one (this one included), keeps the port.
bool KeepsThePort(pid_t owner) {
    return owner == 0 || owner == ::getpid() || !ProcessHasEnded(owner);
}

// Writes this process's lock text into a new file of its own in `directory` and returns its
// name, or an empty name with errno set.
std::string WriteOwnLockFile(const std::string& directory) {
    std::string temp = directory + "/LTMP.XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return {};
    char text[16];
    const int length = std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(::getpid()));
    int error = 0;
    errno = 0;
    if (::fchmod(fd, 0644) != 0 || ::write(fd, text, length) != length)
        error = errno != 0 ? errno : EIO;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0) {
        ::unlink(temp.c_str());
        errno = error;
        return {};
    }
    return temp;
}

}  // namespace

std::string TPortLock::FileName(const std::string& devicePath, const std::string& directory) {
    std::string device = devicePath;
    if (char* real = ::realpath(devicePath.c_str(), nullptr)) {
        device = real;
        std::free(real);
    }
    return directory + "/LCK.." + device.substr(device.find_last_of('/') + 1);
}

TPortLock TPortLock::Take(const std::string& devicePath, const std::string& directory) {
    if (directory.empty())
        return {};
    const std::string path = FileName(devicePath, directory);
    for (int attempt = 0; attempt < TakeAttempts; ++attempt) {
        bool exists = false;
        const pid_t owner = LockOwner(path, exists);
        if (exists) {
            if (KeepsThePort(owner)) {
                WriteCommsLog("Port locked by " + path);
                throw ECommsError("Error opening com port");
            }
            if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
                LogLastError(errno, "Unable to remove stale lock file: ");
                return {};
            }
        }
        // Written whole under a name of its own, then linked: nobody sees a half-written lock,
        // and of two programs that link at once only one succeeds.
        const std::string temp = WriteOwnLockFile(directory);
        if (temp.empty()) {
            LogLastError(errno, "Unable to create lock file: ");
            return {};
        }
        const int linked = ::link(temp.c_str(), path.c_str());
        const int error = errno;
        ::unlink(temp.c_str());
        if (linked == 0)
            return TPortLock(path);
        if (error != EEXIST) {
            LogLastError(error, "Unable to create lock file: ");
            return {};
        }
    }
    WriteCommsLog("Port locked by " + path);
    throw ECommsError("Error opening com port");
}

std::optional<TPortLock::THolder> TPortLock::HeldBy(const std::string& devicePath,
                                                    const std::string& directory) {
    const std::string path = FileName(devicePath, directory);
    bool exists = false;
    const pid_t owner = LockOwner(path, exists);
    if (!exists || !KeepsThePort(owner))
        return std::nullopt;
    return THolder{path, owner};
}

TPortLock::TPortLock(TPortLock&& other) noexcept : path_(std::exchange(other.path_, {})) {}

TPortLock& TPortLock::operator=(TPortLock&& other) noexcept {
    if (this != &other) {
        Release();
        path_ = std::exchange(other.path_, {});
    }
    return *this;
}

TPortLock::~TPortLock() {
    Release();
}

void TPortLock::Release() {
    if (path_.empty())
        return;
    bool exists = false;
    // Another program may have removed ours as stale and taken the lock: leave its file alone.
    if (LockOwner(path_, exists) == ::getpid())
        ::unlink(path_.c_str());
    path_.clear();
}

}  // namespace zak
