#pragma once

// How zakctl ends: its exit statuses, and the error that carries one up to main().

#include <stdexcept>
#include <string>

namespace zak::ctl {

// The exit statuses, as --help and the man page give them.
enum class ExitStatus {
    Done = 0,
    Difference = 1,  // a difference was found, or no key was newly presented
    Usage = 2,       // the command line is wrong, or its options cannot hold the key list
    PortFailed = 3,  // the port cannot be opened, or was lost during the transfer
    NoAnswer = 4,    // the unit did not answer
    FileFailed = 5,  // a file cannot be read or written
};

// An error that ends the command with a message on standard error and an exit status.
class CtlError : public std::runtime_error {
  public:
    CtlError(ExitStatus status, const std::string& message)
        : std::runtime_error(message), status_(status) {}
    ExitStatus status() const { return status_; }

  private:
    ExitStatus status_;
};

inline int ExitCode(ExitStatus s) {
    return static_cast<int>(s);
}

}  // namespace zak::ctl
