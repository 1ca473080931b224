#include "OutputQueue.h"

#include <algorithm>

namespace zak::sim {

void OutputQueue::push(const LineChunk& chunk, TimePoint now) {
    TimePoint at = std::max(now, free_.value_or(now)) + chunk.pauseBefore;
    for (const std::uint8_t b : chunk.bytes) {
        bytes_.push_back({at, b});
        at += byteTime_;
    }
    if (!chunk.bytes.empty())
        free_ = at;
}

Bytes OutputQueue::due(TimePoint now) const {
    Bytes due;
    for (auto b = bytes_.begin(); b != bytes_.end() && b->at <= now; ++b)
        due.push_back(b->byte);
    return due;
}

void OutputQueue::consume(std::size_t n) {
    bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<long>(std::min(n, bytes_.size())));
}

std::optional<OutputQueue::TimePoint> OutputQueue::nextDue() const {
    if (bytes_.empty())
        return std::nullopt;
    return bytes_.front().at;
}

std::size_t OutputQueue::dropOverdue(TimePoint now, std::chrono::milliseconds stall) {
    std::size_t dropped = 0;
    while (!bytes_.empty() && bytes_.front().at + stall <= now) {
        bytes_.pop_front();
        ++dropped;
    }
    return dropped;
}

}  // namespace zak::sim
