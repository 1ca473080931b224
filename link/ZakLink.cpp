// The frame layer of ZakLink: sending, receiving, and doing what the link's state says.
#include "ZakLink.h"

#include <algorithm>

namespace zak {

using Action = LinkState::Step::Action;

ZakLink::ZakLink(KeyTable& klice, MemoryImage& pamet, LinkPort& port, LinkWindow& window,
                 LinkClock& clock)
    : klice_(klice), pamet_(pamet), port_(port), window_(window), clock_(clock) {
    SetLineTiming(LineTiming{});
}

void ZakLink::SetLineTiming(const LineTiming& line, std::chrono::milliseconds unitTurnaround) {
    state_.SetLine(line, unitTurnaround);
}

bool ZakLink::SendFrame(const std::uint8_t* bytes, int n) {
    if (n < 1 || n > MaxFrameBody)
        return false;
    // Our own copy: the caller's buffer stays as it is, without the checksum.
    std::array<std::uint8_t, MaxFrameBody + 1> frame{};
    std::copy_n(bytes, n, frame.begin());
    const auto request = static_cast<FrameCode>(frame[0]);
    state_.Opening(request);
    {
        struct NotSentGuard {
            LinkState& state;
            bool sent = false;
            ~NotSentGuard() {
                if (!sent)
                    state.NotSent();
            }
        } guard{state_};
        if (!port_.EnsureOpen())
            return false;
        guard.sent = true;
    }
    replyValid_ = false;
    frame[static_cast<std::size_t>(n)] = Checksum(frame.data(), static_cast<std::size_t>(n));
    for (int i = 0; i <= n; ++i)
        port_.QueueByte(frame[static_cast<std::size_t>(i)]);
    window_.AppendLog(SentLogLine(frame.data(), static_cast<std::size_t>(n) + 1));
    const auto addr = static_cast<std::uint16_t>(n >= 3 ? frame[1] << 8 | frame[2] : 0);
    state_.Sent(request, addr, clock_.Now());
    return true;
}

void ZakLink::Comm321ReceiveData(const std::uint8_t* Buffer, std::uint16_t BufferLength) {
    RecvFrame(Buffer, BufferLength);
}

void ZakLink::RecvFrame(const std::uint8_t* burst, std::size_t n) {
    // A burst longer than the buffer is kept only as far as it fits; it is acted upon never.
    std::copy_n(burst, std::min(n, rxBuffer_.size()), rxBuffer_.begin());
    const bool ok = ChecksumOk(burst, n);
    if (ok)
        replyValid_ = true;
    window_.AppendLog(ReceivedLogLine(burst, n, ok));
    Run(state_.Burst(burst, n, clock_.Now()));
}

void ZakLink::Tick() {
    tickDue_.reset();
    Run(state_.Due(clock_.Now()));
}

void ZakLink::Run(LinkState::Step step) {
    std::optional<std::string> message;
    for (;;) {
        switch (step.action) {
            case Action::ActOnReply:
                if (auto m = ActOn(step.request, step.reply))
                    message = std::move(m);
                break;
            case Action::StartTransfer:
                StartTransfer(step.transfer);
                break;
            case Action::SendLastKey:
                SendLastKeyRequest();
                break;
            case Action::Nothing:
                break;
        }
        step = state_.Due(clock_.Now());
        if (step.action == Action::Nothing)
            break;
    }
    ScheduleTick();
    if (message)
        window_.Inform(*message);
}

std::optional<std::string> ZakLink::ActOn(FrameCode request, const Bytes& reply) {
    switch (request) {
        case FrameCode::CmdReadBlock:
            RplBlockData(reply);
            return std::nullopt;
        case FrameCode::CmdWriteBlock:
            RplWriteAck();
            return std::nullopt;
        default:
            return reply[0] == static_cast<std::uint8_t>(FrameCode::RplLastKey) ? RplLastKey(reply)
                                                                                : RplNoNewKey();
    }
}

void ZakLink::ScheduleTick() {
    const std::optional<LinkClock::TimePoint> due = state_.NextDue();
    if (!due)
        return;
    const LinkClock::TimePoint now = clock_.Now();
    if (tickDue_ && *tickDue_ <= *due && *tickDue_ > now)
        return;  // an earlier tick is on its way and will look again
    tickDue_ = *due;
    const auto delay = std::chrono::ceil<std::chrono::milliseconds>(*due - now);
    clock_.CallTickAfter(std::max(delay, std::chrono::milliseconds{1}));
}

}  // namespace zak
