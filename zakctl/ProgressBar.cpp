#include "ProgressBar.h"

#include <unistd.h>

#include <cstdio>

namespace zak::ctl {

namespace {

constexpr int BarWidth = 24;

std::string minutes(long seconds) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%ld:%02ld", seconds / 60, seconds % 60);
    return buf;
}

}  // namespace

bool ProgressBar::StderrIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

std::string ProgressLine(const std::string& what, int done, int total, long bytes,
                         std::chrono::milliseconds elapsed) {
    const int filled = total > 0 ? BarWidth * done / total : 0;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.resize(BarWidth, '.');
    const long ms = elapsed.count();
    const long rate = ms > 0 ? bytes * 1000 / ms : 0;
    std::string line = what + " [" + bar + "] " + std::to_string(done) + "/" +
                       std::to_string(total) + " blocks  " + std::to_string(rate) + " B/s";
    if (done > 0 && total > done)
        line += "  " + minutes(ms * (total - done) / done / 1000) + " left";
    return line;
}

void ProgressBar::Start(const std::string& what) {
    what_ = what;
    start_ = Clock::now();
    lastDraw_ = {};
}

void ProgressBar::Update(int done, int total, long bytes) {
    if (!shown_)
        return;
    const auto now = Clock::now();
    // A few redraws a second are enough, but the last block always shows.
    if (done < total && now - lastDraw_ < std::chrono::milliseconds{100})
        return;
    lastDraw_ = now;
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - start_);
    std::fprintf(stderr, "\r%-78s", ProgressLine(what_, done, total, bytes, elapsed).c_str());
    std::fflush(stderr);
    drawn_ = true;
}

void ProgressBar::Finish() {
    if (!drawn_)
        return;
    std::fprintf(stderr, "\r%78s\r", "");
    std::fflush(stderr);
    drawn_ = false;
}

}  // namespace zak::ctl
