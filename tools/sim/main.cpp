// zak-sim: a simulated ZAK unit on a pseudo-terminal (see --help).
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "OutputQueue.h"
#include "PtyLine.h"
#include "RequestDecoder.h"
#include "SimOptions.h"
#include "UnitCommands.h"
#include "UnitMemoryFiles.h"
#include "ZakUnit.h"

namespace zak::sim {

namespace {

volatile std::sig_atomic_t stopSignal = 0;

void onStopSignal(int) {
    stopSignal = 1;
}

void installSignals() {
    struct sigaction sa {};
    sa.sa_handler = onStopSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;  // no SA_RESTART: poll() returns so that the loop sees the flag
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGHUP, &sa, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
}

// A request begun but not finished after this much silence is noise.
constexpr int RequestGapMs = 50;

std::string hex(const Bytes& bytes) {
    std::string text;
    char pair[4];
    for (const std::uint8_t b : bytes) {
        std::snprintf(pair, sizeof pair, "%.2X ", b);
        text += pair;
    }
    return text;
}

// How long bytes may wait for a line nobody reads before the unit gives them up.
constexpr std::chrono::milliseconds WriteStall{1000};

// One loop serves the line, the standard input and the replies on their way: a delayed or
// paced reply waits in the output queue, never in a sleep, so requests and commands are seen
// meanwhile.
class Simulation {
  public:
    using Clock = std::chrono::steady_clock;

    Simulation(ZakUnit& unit, PtyLine& line, const SimOptions& o)
        : unit_(unit),
          line_(line),
          verbose_(o.verbose),
          turnaround_(o.turnaroundMs),
          output_(std::chrono::microseconds(o.baud > 0 ? 10'000'000 / o.baud : 0)) {}

    // Runs until quit (once the replies on their way are out), a stop signal, or the end of
    // `child` (when not 0). Returns the exit status.
    int run(pid_t child) {
        bool stdinOpen = true;
        std::string pending;
        while (!stopSignal && !(quit_ && output_.empty())) {
            const short lineEvents = POLLIN | (output_.empty() ? 0 : POLLOUT);
            pollfd fds[2] = {{line_.fd(), lineEvents, 0}, {stdinOpen ? 0 : -1, POLLIN, 0}};
            const int ready = ::poll(fds, 2, pollTimeout());
            if (child > 0) {
                int status = 0;
                if (::waitpid(child, &status, WNOHANG) == child)
                    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
            }
            if (ready < 0)
                continue;  // a signal
            if (fds[0].revents & POLLIN)
                receive();
            else if (fds[0].revents & (POLLHUP | POLLERR))
                ::poll(nullptr, 0, 50);  // no tool on the line; do not spin
            if (fds[1].revents & (POLLIN | POLLHUP))
                stdinOpen = readCommands(pending);
            if (decoder_.waiting() && Clock::now() - lastReceived_ >= RequestGap)
                answerAll(decoder_.lineQuiet());
            writeDue();
        }
        if (child > 0)
            ::kill(child, SIGTERM);
        return 0;
    }

    // Runs a command line and prints its answer line.
    void command(const std::string& line) { print(execute(line)); }

    // Runs a command line; its answer line is for the caller.
    CommandResult execute(const std::string& line) {
        CommandResult r = RunCommand(unit_, line);
        for (const LineChunk& chunk : r.output)
            send(chunk);
        quit_ = quit_ || r.quit;
        return r;
    }

    static void print(const CommandResult& r) { std::cout << r.text << std::endl; }

  private:
    static constexpr std::chrono::milliseconds RequestGap{RequestGapMs};

    int pollTimeout() const {
        using std::chrono::milliseconds;
        const auto now = Clock::now();
        milliseconds wait{200};
        if (decoder_.waiting())
            wait =
                std::min(wait, std::chrono::ceil<milliseconds>(lastReceived_ + RequestGap - now));
        if (const auto due = output_.nextDue())
            wait = std::min(wait, std::chrono::ceil<milliseconds>(*due - now));
        return static_cast<int>(std::max(wait, milliseconds{0}).count());
    }

    void receive() {
        std::uint8_t buffer[4096];
        const ssize_t n = line_.read(buffer, sizeof buffer);
        if (n <= 0)
            return;
        lastReceived_ = Clock::now();
        if (verbose_)
            std::cerr << "got   " << hex(Bytes(buffer, buffer + n)) << std::endl;
        answerAll(decoder_.feed(buffer, static_cast<std::size_t>(n)));
    }

    void answerAll(const std::vector<Request>& requests) {
        for (const Request& r : requests) {
            std::vector<LineChunk> chunks = unit_.answer(r);
            if (verbose_ && chunks.empty())
                std::cerr << "no reply to request " << unit_.requestCount() << std::endl;
            if (!chunks.empty())
                chunks.front().pauseBefore += turnaround_;
            for (const LineChunk& chunk : chunks)
                send(chunk);
        }
    }

    void send(const LineChunk& chunk) {
        if (verbose_)
            std::cerr << "queue " << hex(chunk.bytes) << "after " << chunk.pauseBefore.count()
                      << " ms" << std::endl;
        output_.push(chunk, Clock::now());
    }

    void writeDue() {
        const auto now = Clock::now();
        const Bytes due = output_.due(now);
        if (!due.empty()) {
            const ssize_t written = line_.writeSome(due.data(), due.size());
            if (written > 0)
                output_.consume(static_cast<std::size_t>(written));
        }
        if (output_.dropOverdue(now, WriteStall) > 0 && verbose_)
            std::cerr << "the line takes no more bytes" << std::endl;
    }

    // Runs the whole lines read; false at the end of standard input.
    bool readCommands(std::string& pending) {
        char buffer[1024];
        const ssize_t n = ::read(0, buffer, sizeof buffer);
        if (n <= 0)
            return n < 0 && errno == EINTR;
        pending.append(buffer, static_cast<std::size_t>(n));
        std::size_t end;
        while ((end = pending.find('\n')) != std::string::npos) {
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            command(line);
        }
        return true;
    }

    ZakUnit& unit_;
    PtyLine& line_;
    RequestDecoder decoder_;
    bool verbose_;
    std::chrono::milliseconds turnaround_;
    OutputQueue output_;
    Clock::time_point lastReceived_{};
    bool quit_ = false;
};

pid_t startProgram(const std::vector<std::string>& program, const std::string& var,
                   const std::string& path) {
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    ::setenv(var.c_str(), path.c_str(), 1);
    std::vector<char*> argv;
    for (const std::string& a : program)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execvp(argv[0], argv.data());
    std::perror(argv[0]);
    ::_exit(127);
}

int run(int argc, char** argv) {
    SimOptions options;
    if (auto error = ParseOptions(argc - 1, argv + 1, options)) {
        std::cerr << "zak-sim: " << *error << std::endl;
        return 2;
    }
    if (options.help) {
        std::cout << UsageText();
        return 0;
    }

    ZakUnit unit;
    std::optional<std::string> loadError;
    if (!options.keyList.empty())
        loadError =
            LoadKeyList(options.keyList, options.comments, options.commentLength, unit.memory());
    else if (!options.image.empty())
        loadError = LoadImage(options.image, unit.memory());
    if (loadError) {
        std::cerr << "zak-sim: " << *loadError << std::endl;
        return 2;
    }

    unit.setRandomFaults({options.randomPercent, std::chrono::milliseconds{2 * options.gapMs},
                          std::chrono::milliseconds{options.randomDelayMs}},
                         static_cast<std::uint32_t>(options.seed));

    installSignals();
    PtyLine line;
    Simulation simulation(unit, line, options);
    // The first line of standard output stays the terminal's name: these answer only errors.
    for (const std::string& c : options.commands) {
        const CommandResult r = simulation.execute(c);
        if (!r.ok) {
            std::cerr << "zak-sim: -c " << c << ": " << r.text << std::endl;
            return 2;
        }
    }

    const std::string var = "ZAK_COM" + std::to_string(options.com);
    std::cout << var << '=' << line.path() << std::endl;
    const pid_t child =
        options.program.empty() ? 0 : startProgram(options.program, var, line.path());
    if (child < 0) {
        std::perror("zak-sim: fork");
        return 1;
    }

    const int status = simulation.run(child);
    if (!options.dumpOnExit.empty() && !SaveImage(options.dumpOnExit, unit.memory())) {
        std::cerr << "zak-sim: cannot write " << options.dumpOnExit << std::endl;
        return 1;
    }
    return status;
}

}  // namespace

}  // namespace zak::sim

int main(int argc, char** argv) {
    try {
        return zak::sim::run(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "zak-sim: " << e.what() << std::endl;
        return 1;
    }
}
