#include "LinkState.h"

#include <algorithm>
#include <utility>

namespace zak {

using Action = LinkState::Step::Action;

void LinkState::SetLine(const LineTiming& line, std::chrono::milliseconds unitTurnaround) {
    line_ = line;
    turnaround_ = unitTurnaround;
}

std::chrono::milliseconds LinkState::ReplyWait(FrameCode request) const {
    return LongestReplyTime(line_, request, turnaround_);
}

LinkState::Phase LinkState::phase() const {
    switch (base_) {
        case Base::Idle:
            return Phase::Idle;
        case Base::Opening:
            return Phase::Opening;
        case Base::Awaiting:
            break;
    }
    return restart_ == Transfer::None ? Phase::Awaiting : Phase::RestartPending;
}

LinkState::Step LinkState::TransferGiven(Transfer t, TimePoint now) {
    if (base_ == Base::Idle)
        return {Action::StartTransfer, request_, {}, t};
    restart_ = t;
    return Due(now);
}

LinkState::Step LinkState::LastKeyGiven(TimePoint now) {
    if (base_ == Base::Idle)
        return {Action::SendLastKey, FrameCode::CmdLastKey, {}, Transfer::None};
    lastKeyWaiting_ = true;
    return Due(now);
}

LinkState::Step LinkState::Burst(const std::uint8_t* burst, std::size_t n, TimePoint now) {
    const bool late = base_ == Base::Awaiting && ReplyLost(now);
    lastBurstAt_ = now;
    if (base_ != Base::Awaiting)
        return {};
    if (late)
        return Stall();
    if (JudgeBurst(AwaitedFor(request_), burst, n) != BurstVerdict::Reply) {
        // Whatever came after a held reply leaves it in doubt: better a stall than a shift.
        held_.reset();
        return {};
    }
    Bytes reply(burst, burst + n);
    if (!held_ && MayBeRepeat(reply, now)) {
        held_ = std::move(reply);
        return {};
    }
    held_.reset();
    return ReplyCame(std::move(reply));
}

bool LinkState::MayBeRepeat(const Bytes& reply, TimePoint now) const {
    // A repeated acknowledgement does no harm: each write carries its own address.
    if (request_ == FrameCode::CmdWriteBlock || now >= repeatUntil_ || reply != lastReply_)
        return false;
    // The same block read again brings the same bytes, a repeat or not.
    return request_ != FrameCode::CmdReadBlock || addr_ != lastReplyAddr_;
}

LinkState::Step LinkState::ReplyCame(Bytes reply) {
    base_ = Base::Idle;
    if (request_ != FrameCode::CmdWriteBlock) {
        lastReply_ = reply;
        lastReplyAddr_ = addr_;
        repeatUntil_ = sentAt_ + ReplyWait(request_);
    }
    // A download or upload given again abandons the one this reply would carry on.
    if (restart_ != Transfer::None && request_ != FrameCode::CmdLastKey)
        return {};
    return {Action::ActOnReply, request_, std::move(reply), Transfer::None};
}

LinkState::Step LinkState::Stall() {
    if (held_) {
        // No further reply came: the held one was no repeat.
        Bytes reply = std::move(*held_);
        held_.reset();
        return ReplyCame(std::move(reply));
    }
    base_ = Base::Idle;
    return {};
}

LinkState::Step LinkState::Due(TimePoint now) {
    if (base_ == Base::Awaiting && ReplyLost(now)) {
        Step s = Stall();
        if (s.action != Action::Nothing)
            return s;
    }
    if (base_ != Base::Idle)
        return {};
    if (restart_ != Transfer::None)
        return {Action::StartTransfer, request_, {}, std::exchange(restart_, Transfer::None)};
    if (lastKeyWaiting_) {
        lastKeyWaiting_ = false;
        return {Action::SendLastKey, FrameCode::CmdLastKey, {}, Transfer::None};
    }
    return {};
}

void LinkState::Opening(FrameCode request) {
    base_ = Base::Opening;
    request_ = request;
    restart_ = Transfer::None;
    held_.reset();
}

void LinkState::Sent(FrameCode request, std::uint16_t addr, TimePoint at) {
    base_ = Base::Awaiting;
    request_ = request;
    addr_ = addr;
    sentAt_ = at;
}

void LinkState::NotSent() {
    base_ = Base::Idle;
    restart_ = Transfer::None;
    lastKeyWaiting_ = false;
}

std::optional<LinkState::TimePoint> LinkState::NextDue() const {
    if (base_ != Base::Awaiting)
        return std::nullopt;
    if (restart_ == Transfer::None && !lastKeyWaiting_ && !held_)
        return std::nullopt;
    return LostAt();
}

bool LinkState::DownloadWaiting(TimePoint now) const {
    if (request_ != FrameCode::CmdReadBlock || restart_ != Transfer::None)
        return false;
    return base_ == Base::Opening || (base_ == Base::Awaiting && !ReplyLost(now));
}

LinkState::TimePoint LinkState::LostAt() const {
    const TimePoint waited = sentAt_ + ReplyWait(request_);
    if (!lastBurstAt_)
        return waited;
    return std::max(waited, *lastBurstAt_ + QuietTime(line_));
}

bool LinkState::ReplyLost(TimePoint now) const {
    return now >= LostAt();
}

}  // namespace zak
