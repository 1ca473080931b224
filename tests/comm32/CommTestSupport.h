#pragma once

// Helpers for the serial component's tests: a real pseudo-terminal pair, a temporary comms
// log, and a count of the process's open descriptors.

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "Misc.h"

namespace zak::test {

using namespace std::chrono_literals;

// A pseudo-terminal: the component opens the terminal side by its path; the test plays the
// unit on the other side. The test keeps its own terminal descriptor too, for TIOCVHANGUP.
class PtyPair {
  public:
    PtyPair() {
        char name[256] = {};
        if (::openpty(&master_, &terminal_, name, nullptr, nullptr) != 0) {
            throw std::runtime_error("openpty failed");
        }
        path_ = name;
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    }
    ~PtyPair() {
        CloseMaster();
        ::close(terminal_);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& Path() const { return path_; }
    int Terminal() const { return terminal_; }

    // Closes the unit's side: the terminal side is hung up.
    void CloseMaster() {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }

    // The unit sends `bytes` in one write.
    void Send(const std::string& bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else {
                pollfd p{master_, POLLOUT, 0};
                ::poll(&p, 1, 100);
            }
        }
    }

    // What the unit has received: exactly `count` bytes, or fewer when `limit` passes first.
    std::string Receive(std::size_t count, std::chrono::milliseconds limit = 5s) {
        std::string got;
        const auto deadline = std::chrono::steady_clock::now() + limit;
        char buffer[4096];
        while (got.size() < count && std::chrono::steady_clock::now() < deadline) {
            const std::size_t want = std::min(sizeof buffer, count - got.size());
            const ssize_t n = ::read(master_, buffer, want);
            if (n > 0) {
                got.append(buffer, static_cast<std::size_t>(n));
            } else {
                pollfd p{master_, POLLIN, 0};
                ::poll(&p, 1, 20);
            }
        }
        return got;
    }

    // Everything the unit can read right now.
    std::string Drain() {
        std::string got;
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(master_, buffer, sizeof buffer)) > 0) {
            got.append(buffer, static_cast<std::size_t>(n));
        }
        return got;
    }

    // Waits until the unit has something to read.
    bool WaitReadable(std::chrono::milliseconds limit = 5s) {
        pollfd p{master_, POLLIN, 0};
        return ::poll(&p, 1, static_cast<int>(limit.count())) > 0;
    }

  private:
    int master_ = -1;
    int terminal_ = -1;
    std::string path_;
};

// A comms log in a fresh temporary file, set as the process-wide name; cleared again at the end.
class TempLog {
  public:
    TempLog() {
        char name[] = "/tmp/zak-comms-log-XXXXXX";
        const int fd = ::mkstemp(name);
        if (fd < 0)
            throw std::runtime_error("mkstemp failed");
        ::close(fd);
        path_ = name;
    }
    ~TempLog() {
        SetCommsLogName("");
        ::unlink(path_.c_str());
    }
    TempLog(const TempLog&) = delete;
    TempLog& operator=(const TempLog&) = delete;

    const std::string& Path() const { return path_; }

    std::vector<std::string> Lines() const {
        std::ifstream in(path_);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    bool Has(const std::string& line) const {
        for (const std::string& l : Lines()) {
            if (l == line)
                return true;
        }
        return false;
    }

    // The log is written by the worker threads at their own pace: waits until `line` appears.
    bool WaitFor(const std::string& line, std::chrono::milliseconds limit = 5s) const {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!Has(line)) {
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
            std::this_thread::sleep_for(5ms);
        }
        return true;
    }

  private:
    std::string path_;
};

// A fresh temporary directory, removed with what it holds at the end (no subdirectories).
class TempDir {
  public:
    TempDir() {
        char name[] = "/tmp/zak-dir-XXXXXX";
        if (::mkdtemp(name) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        path_ = name;
    }
    ~TempDir() {
        if (DIR* dir = ::opendir(path_.c_str())) {
            while (const dirent* entry = ::readdir(dir)) {
                const std::string name = entry->d_name;
                if (name != "." && name != "..")
                    ::unlink((path_ + "/" + name).c_str());
            }
            ::closedir(dir);
        }
        ::rmdir(path_.c_str());
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

inline int OpenDescriptorCount() {
    int count = 0;
    if (DIR* dir = ::opendir("/proc/self/fd")) {
        while (::readdir(dir) != nullptr)
            ++count;
        ::closedir(dir);
    }
    return count;
}

}  // namespace zak::test
