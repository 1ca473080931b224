#include "ZakUnit.h"

namespace zak::sim {

void ZakUnit::present(const TKod& kod) {
    presented_ = kod;
    newlyPresented_ = true;
}

std::vector<LineChunk> ZakUnit::answer(const Request& r) {
    ++requests_;
    const std::optional<Bytes> bytes = reply(r);
    if (!bytes)
        return {};
    return ApplyFault(*bytes, takeFault());
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
            for (int i = 0; i < BlockLength; ++i)
                memory_[r.addr + static_cast<std::size_t>(i)] = r.data[static_cast<std::size_t>(i)];
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
        return std::nullopt;
    const Fault f = nextFaults_.front();
    nextFaults_.pop_front();
    return f;
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
    }
    return {};
}

}  // namespace zak::sim
