#pragma once

// --log FILE: the traffic with the unit, one line per frame sent and per burst received, as
// the window's traffic log shows them, and a note whenever a block is asked again.

#include <cstdio>
#include <string>

namespace zak::ctl {

class TrafficLog {
  public:
    // No file: lines go nowhere.
    TrafficLog() = default;
    // Creates or empties the file; throws CtlError (file) when it cannot.
    explicit TrafficLog(const std::string& path);
    ~TrafficLog();
    TrafficLog(const TrafficLog&) = delete;
    TrafficLog& operator=(const TrafficLog&) = delete;

    // Writes one line and flushes it, so that the log is complete up to a failure.
    void Line(const std::string& text);

  private:
    std::FILE* file_ = nullptr;
    std::string path_;
};

}  // namespace zak::ctl
