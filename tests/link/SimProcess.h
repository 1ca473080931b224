#pragma once

// zak-sim run as a child process: its standard input and output through pipes, and its
// pseudo-terminal opened as the tool opens its port.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

#include "Frame.h"

namespace zak::test {

class SimProcess {
  public:
    // A generous limit for anything to arrive; reaching it is a failure, not a measurement.
    static constexpr std::chrono::milliseconds Patience{5000};

    explicit SimProcess(std::vector<std::string> args) {
        int in[2], out[2];
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe");
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            std::vector<char*> argv;
            for (std::string& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        stdin_ = in[1];
        stdout_ = out[0];
        firstLine_ = line();
    }

    ~SimProcess() {
        if (line_ >= 0)
            ::close(line_);
        ::close(stdin_);
        ::close(stdout_);
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    const std::string& firstLine() const { return firstLine_; }

    // Opens the terminal named by the first line, raw, as the tool's port.
    void openLine() {
        const std::string path = firstLine_.substr(firstLine_.find('=') + 1);
        line_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (line_ < 0)
            throw std::runtime_error("cannot open " + path);
        termios t{};
        ::tcgetattr(line_, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(line_, TCSANOW, &t);
    }

    // Runs a command on the unit's standard input; its answer line.
    std::string command(const std::string& text) {
        const std::string l = text + "\n";
        if (::write(stdin_, l.data(), l.size()) != static_cast<ssize_t>(l.size()))
            return "write failed";
        return line();
    }

    void send(const Bytes& bytes) {
        if (::write(line_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
            throw std::runtime_error("write to the line failed");
    }

    // What the unit sent: `count` bytes, or what came before Patience ran out.
    Bytes receive(std::size_t count) {
        Bytes got;
        const auto deadline = std::chrono::steady_clock::now() + Patience;
        while (got.size() < count && std::chrono::steady_clock::now() < deadline) {
            pollfd p{line_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            std::uint8_t buffer[256];
            const ssize_t n = ::read(line_, buffer, std::min(sizeof buffer, count - got.size()));
            if (n > 0)
                got.insert(got.end(), buffer, buffer + n);
        }
        return got;
    }

    // Waits for the unit to end; its exit status.
    int wait() {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

  private:
    std::string line() {
        std::string text;
        const auto deadline = std::chrono::steady_clock::now() + Patience;
        char c = 0;
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd p{stdout_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            if (::read(stdout_, &c, 1) != 1 || c == '\n')
                break;
            text += c;
        }
        return text;
    }

    pid_t pid_ = -1;
    int stdin_ = -1;
    int stdout_ = -1;
    int line_ = -1;
    std::string firstLine_;
};

}  // namespace zak::test
