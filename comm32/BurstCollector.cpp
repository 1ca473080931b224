#include "BurstCollector.h"

namespace zak {

TBurstCollector::TBurstCollector(std::chrono::milliseconds gap, std::size_t limit)
    : gap_(gap), bytes_(limit) {}

void TBurstCollector::Added(std::size_t count, Clock::time_point now) {
    size_ += count;
    deadline_ = now + gap_;
}

bool TBurstCollector::Due(Clock::time_point now) const {
    return !Empty() && (ended_ || Room() == 0 || now >= deadline_);
}

int TBurstCollector::PollTimeout(Clock::time_point now) const {
    if (Empty())
        return -1;
    if (Due(now))
        return 0;
    // Rounded up, so that the poll does not wake just short of the deadline and go round again.
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline_ - now);
    return static_cast<int>(left.count());
}

TCommBlock TBurstCollector::Take() {
    TCommBlock block(bytes_.data(), size_);
    size_ = 0;
    ended_ = false;
    return block;
}

}  // namespace zak
