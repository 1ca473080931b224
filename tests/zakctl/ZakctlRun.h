#pragma once

// zakctl run as a child process, as a shell runs it: its exit status, standard output and
// standard error (neither of them a terminal).

#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace zak::test {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// `stderrTerminal`: standard error is a pseudo-terminal instead of a pipe.
inline Outcome RunProgram(const std::vector<std::string>& args,
                          const std::vector<std::string>& environment = {},
                          bool stderrTerminal = false) {
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe");
    if (stderrTerminal) {
        // err[0] is the side the test reads, err[1] the terminal the program writes to.
        if (::openpty(&err[0], &err[1], nullptr, nullptr, nullptr) != 0)
            throw std::runtime_error("openpty");
        ::fcntl(err[0], F_SETFD, FD_CLOEXEC);
        ::fcntl(err[1], F_SETFD, FD_CLOEXEC);
    } else if (::pipe2(err, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe");
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        for (const std::string& setting : environment)
            ::putenv(const_cast<char*>(setting.c_str()));
        std::vector<char*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    Outcome r;
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    int open = 2;
    while (open > 0) {
        if (::poll(fds, 2, -1) < 0)
            continue;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            char buffer[4096];
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                (i == 0 ? r.out : r.err).append(buffer, static_cast<std::size_t>(n));
            } else {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

}  // namespace zak::test
