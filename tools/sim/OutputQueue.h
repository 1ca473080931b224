#pragma once

// The bytes the simulated unit has yet to put on the line, each with the moment it is due,
// so that pauses and a slow line's pace never keep the unit from reading meanwhile.

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>

#include "ZakUnit.h"

namespace zak::sim {

class OutputQueue {
  public:
    using TimePoint = std::chrono::steady_clock::time_point;

    // `byteTime`: how long one byte takes on the line; zero for no pace.
    explicit OutputQueue(std::chrono::microseconds byteTime) : byteTime_(byteTime) {}

    // Queues a chunk behind everything queued: its pause counts from the moment the line has
    // sent what is ahead of it (or from `now` when that is later).
    void push(const LineChunk& chunk, TimePoint now);

    // The bytes due by `now`, in line order; they stay queued until consumed.
    Bytes due(TimePoint now) const;
    // Takes the first n bytes off the queue: they are on the line.
    void consume(std::size_t n);

    // When the next byte is due; nothing when the queue is empty.
    std::optional<TimePoint> nextDue() const;
    bool empty() const { return bytes_.empty(); }
    // Gives up every byte that has been due for longer than `stall` (a line nobody reads);
    // the number given up.
    std::size_t dropOverdue(TimePoint now, std::chrono::milliseconds stall);

  private:
    struct Due {
        TimePoint at;
        std::uint8_t byte;
    };

    std::chrono::microseconds byteTime_;
    std::deque<Due> bytes_;
    // When the line is free again after the last byte queued.
    std::optional<TimePoint> free_;
};

}  // namespace zak::sim
