#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

namespace zak {

// The lock file by which the serial programs of a Debian system keep out of each other's way:
// <directory>/LCK..<name of the device>, holding the owner's process id as ten right-aligned
// decimal digits and a line end, mode 0644. The device name is that of the real device, so a
// /dev/serial/by-id/... link and the /dev/ttyUSB0 it points to take the same lock.
class TPortLock {
  public:
    static constexpr const char* DefaultDirectory = "/run/lock";

    // Holds nothing.
    TPortLock() = default;

    // Window's thread. Takes the lock of the device at `devicePath` in `directory`. A lock
    // file of a process that has ended is removed and taken over. Throws ECommsError "Error
    // opening com port" when a live process (this one included) holds the lock, or its file
    // names no process. When the lock cannot be written (the directory is missing or not
    // writable for this user), the port is used without one: a comms log line says so and
    // the returned object holds nothing. An empty `directory` takes no lock.
    static TPortLock Take(const std::string& devicePath, const std::string& directory);

    TPortLock(TPortLock&& other) noexcept;
    TPortLock& operator=(TPortLock&& other) noexcept;
    TPortLock(const TPortLock&) = delete;
    TPortLock& operator=(const TPortLock&) = delete;
    // Releases the lock.
    ~TPortLock();

    bool Held() const { return !path_.empty(); }

    // Who keeps Take from taking the lock of the device at `devicePath`: the lock file and
    // the process id it names (0 when it names none); nothing when the lock is free or only
    // a stale lock of an ended process is there.
    struct THolder {
        std::string file;
        pid_t pid = 0;
    };
    static std::optional<THolder> HeldBy(const std::string& devicePath,
                                         const std::string& directory);
    // The lock file's name, whether or not it is held.
    static std::string FileName(const std::string& devicePath, const std::string& directory);

  private:
    explicit TPortLock(std::string path) : path_(std::move(path)) {}
    // Removes the lock file if it still holds this process's id.
    void Release();

    std::string path_;
};

}  // namespace zak
