#include "DiskFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <random>

namespace zak {

namespace {

// Closes a descriptor on every way out.
class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now and reports the result, since a failed close can be a failed write.
    int close() {
        const int r = ::close(fd_);
        fd_ = -1;
        return r == 0 ? 0 : errno;
    }

  private:
    int fd_;
};

int writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// The file a write must replace: the target of a symbolic link, else the path itself.
std::string resolveTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char buf[PATH_MAX];
        if (::realpath(path.c_str(), buf))
            return buf;
    }
    return path;
}

// Creates a new file in the target's folder under a short name no other file has, so
// that a target whose name is as long as the system allows still gets one.
// Like mkstemp, but with the permission bits given.
int createBeside(const std::string& target, mode_t mode, std::string& tempName, int& fd) {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::minstd_rand random(std::random_device{}());
    const std::string folder = folderOf(target);
    const std::string prefix = (folder == "/" ? "" : folder) + "/.zak";
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempName = prefix;
        for (int i = 0; i < 6; ++i)
            tempName += letters[random() % (sizeof letters - 1)];
        fd = ::open(tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0)
            return 0;
        if (errno != EEXIST)
            return errno;
    }
    return EEXIST;
}

// Gives the new file the old one's owner and group where the caller may (the
// superuser), else the old group where the caller is a member of it. A refusal
// (EPERM) leaves the file the writer's, which is what a save by another user means.
void keepOwnership(int fd, const struct stat& old) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
        [[maybe_unused]] const int ignored = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    }
}

void syncFolder(const std::string& path) {
    const int fd = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

FileContents readWholeFile(const std::string& path, std::size_t maxBytes) {
    FileContents r;
    // Non-blocking, so that opening a pipe does not wait for a writer.
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) {
        r.status =
            errno == ENOENT ? FileContents::Status::Missing : FileContents::Status::Unreadable;
        r.error = errno;
        return r;
    }
    r.status = FileContents::Status::Unreadable;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        r.error = errno;
        return r;
    }
    if (!S_ISREG(st.st_mode)) {
        r.error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return r;
    }
    if (static_cast<unsigned long long>(st.st_size) > maxBytes) {
        r.error = EFBIG;
        return r;
    }
    r.bytes.resize(static_cast<std::size_t>(st.st_size));
    std::size_t have = 0;
    for (;;) {
        // One byte more than the limit allows shows a file that grew meanwhile.
        if (have == r.bytes.size())
            r.bytes.resize(std::min(have + 4096, maxBytes + 1));
        if (have == r.bytes.size())
            break;
        const ssize_t n = ::read(fd.get(), &r.bytes[have], r.bytes.size() - have);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            r.error = errno;
            r.bytes.clear();
            return r;
        }
        if (n == 0)
            break;
        have += static_cast<std::size_t>(n);
    }
    if (have > maxBytes) {
        r.error = EFBIG;
        r.bytes.clear();
        return r;
    }
    r.bytes.resize(have);
    r.status = FileContents::Status::Read;
    return r;
}

int replaceFile(const std::string& path, std::string_view bytes) {
    const std::string target = resolveTarget(path);
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (!exists && errno != ENOENT)
        return errno;
    if (exists) {
        if (!S_ISREG(old.st_mode))
            return S_ISDIR(old.st_mode) ? EISDIR : EINVAL;
        // Write protection holds for the superuser too, as it did when the file was
        // written in place.
        if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            return EACCES;
        if (::access(target.c_str(), W_OK) != 0)
            return errno;
    }

    // The new file starts with the old owner's bits only (the umask may narrow them),
    // so that nobody else can read it before it has the old file's owner and group;
    // the old file's full mode comes after the write, which would clear set-id bits.
    const mode_t createMode = exists ? (old.st_mode & S_IRWXU) : 0666;
    std::string tempName;
    int rawFd = -1;
    if (const int e = createBeside(target, createMode, tempName, rawFd))
        return e;
    Descriptor fd(rawFd);
    if (exists)
        keepOwnership(fd.get(), old);

    int e = writeAll(fd.get(), bytes);
    if (!e && exists && ::fchmod(fd.get(), old.st_mode & 07777) != 0)
        e = errno;
    if (!e && ::fsync(fd.get()) != 0)
        e = errno;
    if (const int closed = fd.close(); !e)
        e = closed;
    if (!e && ::rename(tempName.c_str(), target.c_str()) != 0)
        e = errno;
    if (e) {
        ::unlink(tempName.c_str());
        return e;
    }
    syncFolder(target);
    return 0;
}

}  // namespace zak
