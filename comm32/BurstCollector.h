#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "CommBlock.h"

namespace zak {

// Gathers received bytes into bursts: a burst is the bytes received until the line has been
// silent for `gap`, cut when it reaches `limit` bytes, or ended early by its owner (EndNow).
// The gap is a deadline renewed by every arrival. Time is passed in, so the rule can be driven
// without waiting.
class TBurstCollector {
  public:
    using Clock = std::chrono::steady_clock;

    TBurstCollector(std::chrono::milliseconds gap, std::size_t limit);

    // Where the next bytes go, and how many fit.
    std::uint8_t* Space() { return bytes_.data() + size_; }
    std::size_t Room() const { return bytes_.size() - size_; }
    // `count` bytes have been put at Space() at time `now`.
    void Added(std::size_t count, Clock::time_point now);

    bool Empty() const { return size_ == 0; }
    // The bytes of the burst so far.
    const std::uint8_t* Bytes() const { return bytes_.data(); }
    std::size_t Size() const { return size_; }
    // The burst is complete as it stands: it is due now, whatever the gap.
    void EndNow() { ended_ = !Empty(); }
    // Is the burst complete: full, ended early, or the line silent for the gap since the last
    // bytes?
    bool Due(Clock::time_point now) const;
    // How long a poll() may sleep before the burst can be due: -1 (no limit) while empty.
    int PollTimeout(Clock::time_point now) const;
    // Hands the burst out and starts the next one.
    TCommBlock Take();

  private:
    std::chrono::milliseconds gap_;
    std::vector<std::uint8_t> bytes_;
    std::size_t size_ = 0;
    bool ended_ = false;
    Clock::time_point deadline_{};
};

}  // namespace zak
