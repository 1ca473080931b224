#include "UnitSession.h"

#include <atomic>
#include <cstdio>

#include "CtlError.h"
#include "PortArgument.h"

namespace zak::ctl {

namespace {

std::string verdictText(BurstVerdict v) {
    switch (v) {
        case BurstVerdict::Reply:
            return "the reply";
        case BurstVerdict::ChecksumError:
            return "a damaged reply";
        case BurstVerdict::OtherCode:
            return "a reply of another code";
        case BurstVerdict::WrongLength:
            return "a reply of the wrong length";
    }
    return "?";
}

std::string blockName(const char* what, std::uint16_t addr) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "the %s of block %u (0x%04X)", what, addr, addr);
    return buf;
}

}  // namespace

// The request awaited, as the reader thread's burst test needs it.
class UnitSession::AwaitedNow {
  public:
    // Reader thread: is the burst so far a whole reply to the request awaited?
    bool Complete(const std::uint8_t* bytes, std::size_t n) const {
        return JudgeBurst(static_cast<AwaitedReply>(awaited_.load()), bytes, n) ==
               BurstVerdict::Reply;
    }
    // Main thread, before a request goes out.
    void Set(AwaitedReply awaited) { awaited_.store(static_cast<int>(awaited)); }

  private:
    std::atomic<int> awaited_{static_cast<int>(AwaitedReply::ReadBlock)};
};

UnitSession::UnitSession(LineOptions options, TrafficLog& log)
    : options_(std::move(options)), log_(log), comm_(queue_) {
    timing_.baud = static_cast<int>(UnitBaudRate);
    timing_.burstGap = options_.burstGap;
    state_.SetLine(timing_, options_.turnaround);
    comm_.SetCommPort(options_.port);
    comm_.SetBaudRate(UnitBaudRate);
    comm_.SetBurstGap(options_.burstGap);
    comm_.SetOnReceiveData([this](const std::uint8_t* data, std::uint16_t n) {
        bursts_.push_back({Bytes(data, data + n), Clock::now()});
    });
    comm_.SetOnRequestHangup([this](TComm32*) { lost_ = true; });
    if (options_.fast) {
        awaited_ = std::make_shared<AwaitedNow>();
        comm_.SetBurstCompleteTest([awaited = awaited_](const std::uint8_t* bytes, std::size_t n) {
            return awaited->Complete(bytes, n);
        });
    }
}

UnitSession::~UnitSession() {
    try {
        comm_.StopComm();
    } catch (...) {
        // Only the comms log can fail here, and zakctl keeps none.
    }
}

void UnitSession::Open() {
    bool open = false;
    try {
        open = comm_.StartComm();
    } catch (const ECommsError& e) {
        throw CtlError(ExitStatus::PortFailed, "cannot open the port " +
                                                   DescribePort(options_.port) + ": " + e.what() +
                                                   " (missing, in use, or not permitted)");
    }
    if (!open) {
        throw CtlError(ExitStatus::PortFailed,
                       "cannot open the port " + DescribePort(options_.port));
    }
}

void UnitSession::PortLost() const {
    throw CtlError(ExitStatus::PortFailed, "the port " + DescribePort(options_.port) +
                                               " stopped working during the transfer "
                                               "(unplugged or closed)");
}

void UnitSession::Send(const Bytes& request) {
    if (lost_ || !comm_.WriteCommData(request.data(), static_cast<std::uint16_t>(request.size())))
        PortLost();
    log_.Line(SentLogLine(request.data(), request.size()));
}

std::optional<UnitSession::Burst> UnitSession::NextBurst(Clock::time_point limit) {
    while (bursts_.empty()) {
        if (lost_)
            PortLost();
        if (!queue_.DispatchUntil(limit))
            return std::nullopt;
    }
    Burst b = std::move(bursts_.front());
    bursts_.pop_front();
    return b;
}

std::optional<Bytes> UnitSession::AwaitReply(FrameCode request, Clock::time_point sentAt,
                                             std::string& failure) {
    using Action = LinkState::Step::Action;
    const auto replyWait = state_.ReplyWait(request);
    // A line that never goes quiet cannot be asked again safely.
    const auto giveUp = sentAt + 10 * replyWait;
    for (;;) {
        const auto now = Clock::now();
        LinkState::Step step = state_.Due(now);
        if (step.action == Action::ActOnReply)
            return std::move(step.reply);
        if (state_.phase() == LinkState::Phase::Idle)
            return std::nullopt;  // the reply wait has passed and the line is quiet
        if (now >= giveUp) {
            throw CtlError(ExitStatus::NoAnswer,
                           "the line to " + DescribePort(options_.port) + " does not go quiet");
        }
        // Until the reply wait is over only a burst can change anything; then the line's
        // quiet is looked at a few times a gap.
        const auto limit = now < sentAt + replyWait ? sentAt + replyWait
                                                    : now + std::max(options_.burstGap / 4,
                                                                     std::chrono::milliseconds{1});
        std::optional<Burst> burst = NextBurst(limit);
        if (!burst)
            continue;
        const Bytes& b = burst->bytes;
        log_.Line(ReceivedLogLine(b.data(), b.size(), ChecksumOk(b.data(), b.size())));
        const BurstVerdict verdict = JudgeBurst(AwaitedFor(request), b.data(), b.size());
        step = state_.Burst(b.data(), b.size(), burst->at);
        if (step.action == Action::ActOnReply)
            return std::move(step.reply);
        if (verdict != BurstVerdict::Reply)
            failure = verdictText(verdict);
        else if (state_.phase() == LinkState::Phase::Idle)
            failure = "a reply that came too late";
        else
            failure = "a reply that repeats the block before";
        log_.Line("# not acted upon: " + failure);
    }
}

Bytes UnitSession::Exchange(const Bytes& request, const std::string& what) {
    const auto code = static_cast<FrameCode>(request[0]);
    const std::uint16_t addr = code == FrameCode::CmdLastKey
                                   ? 0
                                   : static_cast<std::uint16_t>(request[1] << 8 | request[2]);
    std::string failure = "no reply";
    const int tries = options_.retries + 1;
    for (lastTries_ = 1; lastTries_ <= tries; ++lastTries_) {
        if (lastTries_ > 1) {
            ++repeated_;
            log_.Line("# " + what + ": " + failure + "; asked again (try " +
                      std::to_string(lastTries_) + " of " + std::to_string(tries) + ")");
        }
        failure = "no reply";
        if (awaited_)
            awaited_->Set(AwaitedFor(code));
        const auto sentAt = Clock::now();
        state_.Opening(code);
        state_.Sent(code, addr, sentAt);
        Send(request);
        if (std::optional<Bytes> reply = AwaitReply(code, sentAt, failure)) {
            if (lastTries_ > 1)
                LetEarlierRepliesPass(code, sentAt);
            return *reply;
        }
    }
    throw CtlError(ExitStatus::NoAnswer, "the unit did not answer " + what + " (" + failure +
                                             " at each of " + std::to_string(tries) + " tries)");
}

void UnitSession::LetEarlierRepliesPass(FrameCode request, Clock::time_point lastSent) {
    // Every try was sent by `lastSent`, so every reply to one of them has come by the reply
    // wait after it; whatever comes until then, and until the line is quiet, is a reply to an
    // earlier try (the unit answers in order) or noise.
    const auto until = lastSent + state_.ReplyWait(request);
    const auto quiet = QuietTime(timing_);
    auto lastBurst = Clock::now() - quiet;
    for (;;) {
        const auto limit = std::max(until, lastBurst + quiet);
        if (Clock::now() >= limit)
            return;
        std::optional<Burst> burst = NextBurst(limit);
        if (!burst)
            continue;
        lastBurst = burst->at;
        const Bytes& b = burst->bytes;
        log_.Line(ReceivedLogLine(b.data(), b.size(), ChecksumOk(b.data(), b.size())));
        log_.Line("# not acted upon: after the answer to a request asked again");
        state_.Burst(b.data(), b.size(), burst->at);
    }
}

BlockData UnitSession::ReadBlock(std::uint16_t addr) {
    const Bytes reply = Exchange(ReadBlockRequest(addr), blockName("read", addr));
    BlockData data{};
    std::copy(reply.begin() + 1, reply.begin() + 1 + BlockLength, data.begin());
    return data;
}

void UnitSession::WriteBlock(std::uint16_t addr, const BlockData& data) {
    Exchange(WriteBlockRequest(addr, data), blockName("write", addr));
}

std::optional<TKod> UnitSession::LastKey() {
    const Bytes reply = Exchange(LastKeyRequest(), "the last-key request");
    if (reply[0] == static_cast<std::uint8_t>(FrameCode::RplLastKey))
        return KodFromLastKeyReply(reply.data());
    if (lastTries_ > 1) {
        throw CtlError(ExitStatus::NoAnswer,
                       "the unit's first answer to the last-key request was lost, and it now "
                       "reports no new key; if a key was presented, present it again and repeat");
    }
    return std::nullopt;
}

}  // namespace zak::ctl
