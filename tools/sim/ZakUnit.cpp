#include "ZakUnit.h"

#include <iterator>

namespace zak::sim {

void ZakUnit::present(const TKod& kod) {
    presented_ = kod;
    newlyPresented_ = true;
}

void ZakUnit::setRandomFaults(const RandomFaults& r, std::uint32_t seed) {
    random_ = r;
    rng_.seed(seed);
}

std::vector<LineChunk> ZakUnit::answer(const Request& r) {
    ++requests_;
    const std::optional<Bytes> bytes = reply(r);
    if (!bytes)
        return {};
    const std::optional<Fault> f = takeFault();
    if (f)
        ++faults_;
    return ApplyFault(*bytes, f);
}

void ZakUnit::store(const Request& r) {
    for (int i = 0; i < BlockLength; ++i)
        memory_[r.addr + static_cast<std::size_t>(i)] = r.data[static_cast<std::size_t>(i)];
    if (!wrongByte_)
        return;
    const int at = wrongByte_->addr.value_or(r.addr);
    if (at < r.addr || at >= r.addr + BlockLength)
        return;
    memory_[static_cast<std::size_t>(at)] ^= 0xFF;
    wrongByte_.reset();
}

std::optional<Bytes> ZakUnit::reply(const Request& r) {
    switch (r.code) {
        case FrameCode::CmdReadBlock: {
            if (r.addr + BlockLength > UnitMemorySize)
                return std::nullopt;
            BlockData data{};
            for (int i = 0; i < BlockLength; ++i)
                data[static_cast<std::size_t>(i)] = memory_[r.addr + static_cast<std::size_t>(i)];
            return BlockDataReply(data);
        }
        case FrameCode::CmdWriteBlock:
            if (r.addr + BlockLength > UnitMemorySize)
                return std::nullopt;
            store(r);
            return WriteAckReply();
        case FrameCode::CmdLastKey:
            if (!newlyPresented_)
                return NoNewKeyReply();
            newlyPresented_ = false;
            return LastKeyReply(presented_);
        default:
            return std::nullopt;
    }
}

std::optional<Fault> ZakUnit::takeFault() {
    const auto at = faultsAt_.find(requests_);
    if (at != faultsAt_.end()) {
        const Fault f = at->second;
        faultsAt_.erase(at);
        return f;
    }
    if (nextFaults_.empty())
        return randomFault();
    const Fault f = nextFaults_.front();
    nextFaults_.pop_front();
    return f;
}

std::optional<Fault> ZakUnit::randomFault() {
    if (random_.percent <= 0 || std::uniform_int_distribution<int>(0, 99)(rng_) >= random_.percent)
        return std::nullopt;
    const int pause = static_cast<int>(random_.pause.count());
    const Fault kinds[] = {
        {FaultKind::Noise, pause},
        {FaultKind::Delay, static_cast<int>(random_.delay.count())},
        {FaultKind::Split, pause},
        {FaultKind::Twice, pause},
        {FaultKind::Double},
        {FaultKind::Drop},
        {FaultKind::Corrupt},
        // A code the tool never awaits for any request.
        {FaultKind::Code, 0x12},
    };
    const auto pick = std::uniform_int_distribution<std::size_t>(0, std::size(kinds) - 1)(rng_);
    return kinds[pick];
}

std::vector<LineChunk> ApplyFault(Bytes reply, const std::optional<Fault>& f) {
    using std::chrono::milliseconds;
    if (!f)
        return {{milliseconds{0}, std::move(reply)}};
    switch (f->kind) {
        case FaultKind::Drop:
            return {};
        case FaultKind::Corrupt:
            reply.back() ^= 0x55;
            return {{milliseconds{0}, std::move(reply)}};
        case FaultKind::Split: {
            const auto half = static_cast<std::ptrdiff_t>((reply.size() + 1) / 2);
            Bytes rest(reply.begin() + half, reply.end());
            reply.resize(static_cast<std::size_t>(half));
            return {{milliseconds{0}, std::move(reply)}, {milliseconds{f->value}, std::move(rest)}};
        }
        case FaultKind::Code:
            reply.front() = static_cast<std::uint8_t>(f->value);
            reply.pop_back();
            return {{milliseconds{0}, WithChecksum(std::move(reply))}};
        case FaultKind::Double: {
            Bytes twice = reply;
            twice.insert(twice.end(), reply.begin(), reply.end());
            return {{milliseconds{0}, std::move(twice)}};
        }
        case FaultKind::Delay:
            return {{milliseconds{f->value}, std::move(reply)}};
        case FaultKind::Noise:
            // Line noise that fails the checksum test, as a burst of its own.
            return {{milliseconds{0}, {0x5A, 0xA5, 0x3C}},
                    {milliseconds{f->value}, std::move(reply)}};
        case FaultKind::Twice: {
            Bytes again = reply;
            return {{milliseconds{0}, std::move(reply)},
                    {milliseconds{f->value}, std::move(again)}};
        }
    }
    return {};
}

}  // namespace zak::sim
