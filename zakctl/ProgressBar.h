#pragma once

// The progress of a transfer on standard error: blocks done of all, bytes per second and the
// time left, redrawn in place. Shown only when standard error is a terminal and --quiet is
// not given; otherwise every call does nothing.

#include <chrono>
#include <string>

namespace zak::ctl {

class ProgressBar {
  public:
    using Clock = std::chrono::steady_clock;

    // `shown`: draw at all (standard error is a terminal and not --quiet).
    explicit ProgressBar(bool shown) : shown_(shown) {}
    ~ProgressBar() { Finish(); }
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // A new transfer: `what` names it ("read", "write", "check").
    void Start(const std::string& what);
    // `done` of `total` blocks are moved, `bytes` bytes of data so far.
    void Update(int done, int total, long bytes);
    // Clears the bar's line.
    void Finish();

    // True when standard error is a terminal.
    static bool StderrIsTerminal();

  private:
    bool shown_;
    bool drawn_ = false;
    std::string what_;
    Clock::time_point start_{};
    Clock::time_point lastDraw_{};
};

// The line the bar shows, e.g. "read  [#####.....]  120/1429 blocks  160 B/s  1:47 left".
std::string ProgressLine(const std::string& what, int done, int total, long bytes,
                         std::chrono::milliseconds elapsed);

}  // namespace zak::ctl
