// The frame layer of ZakLink: sending, receiving, and which reply is acted upon.
#include "ZakLink.h"

#include <algorithm>

namespace zak {

ZakLink::ZakLink(KeyTable& klice, MemoryImage& pamet, LinkPort& port, LinkWindow& window,
                 LinkClock& clock)
    : klice_(klice), pamet_(pamet), port_(port), window_(window), clock_(clock) {}

bool ZakLink::SendFrame(const std::uint8_t* bytes, int n) {
    if (n < 1 || n > MaxFrameBody)
        return false;
    // Our own copy: the caller's buffer stays as it is, without the checksum.
    std::array<std::uint8_t, MaxFrameBody + 1> frame{};
    std::copy_n(bytes, n, frame.begin());
    {
        struct OpeningGuard {
            bool& flag;
            ~OpeningGuard() { flag = false; }
        } guard{opening_};
        opening_ = true;
        if (!port_.EnsureOpen())
            return false;
    }
    replyValid_ = false;
    frame[static_cast<std::size_t>(n)] = Checksum(frame.data(), static_cast<std::size_t>(n));
    for (int i = 0; i <= n; ++i)
        port_.QueueByte(frame[static_cast<std::size_t>(i)]);
    window_.AppendLog(SentLogLine(frame.data(), static_cast<std::size_t>(n) + 1));
    return true;
}

void ZakLink::SendRequest(Awaiting request, int n) {
    if (!SendFrame(txBuffer_.data(), n))
        return;
    awaiting_ = request;
    sentAt_ = clock_.Now();
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

    // The first burst after a request is its reply, whatever it holds; later ones answer
    // nothing.
    const Awaiting answered = awaiting_;
    awaiting_ = Awaiting::Nothing;
    if (opening_)
        return;
    // A download or upload given again abandons the transfer this reply would carry on.
    const bool abandoned = waitingTransfer_ != Transfer::None &&
                           (answered == Awaiting::ReadBlock || answered == Awaiting::WriteBlock);

    std::optional<std::string> message;
    if (ok && !abandoned && Answers(answered, n)) {
        switch (answered) {
            case Awaiting::ReadBlock:
                RplBlockData();
                break;
            case Awaiting::WriteBlock:
                RplWriteAck();
                break;
            case Awaiting::LastKey:
                message = rxBuffer_[0] == static_cast<std::uint8_t>(FrameCode::RplLastKey)
                              ? RplLastKey()
                              : RplNoNewKey();
                break;
            case Awaiting::Nothing:
                break;
        }
    }
    SendWaiting();
    if (message)
        window_.Inform(*message);
}

bool ZakLink::Answers(Awaiting request, std::size_t n) const {
    // The whole reply must be in this burst: no field is read from an earlier one.
    const std::uint8_t code = rxBuffer_[0];
    if (n > rxBuffer_.size() || ReplyLength(code) != n)
        return false;
    switch (request) {
        case Awaiting::ReadBlock:
            return code == static_cast<std::uint8_t>(FrameCode::RplBlockData);
        case Awaiting::WriteBlock:
            return code == static_cast<std::uint8_t>(FrameCode::RplWriteAck);
        case Awaiting::LastKey:
            return code == static_cast<std::uint8_t>(FrameCode::RplLastKey) ||
                   code == static_cast<std::uint8_t>(FrameCode::RplNoNewKey);
        case Awaiting::Nothing:
            return false;
    }
    return false;
}

bool ZakLink::LineBusy() {
    return awaiting_ != Awaiting::Nothing && clock_.Now() - sentAt_ < replyWait_;
}

void ZakLink::SendWaiting() {
    if (opening_ || (waitingTransfer_ == Transfer::None && !waitingLastKey_))
        return;
    if (LineBusy()) {
        const LinkClock::TimePoint due = sentAt_ + replyWait_;
        if (!tickDue_ || *tickDue_ > due) {
            tickDue_ = due;
            const auto delay = std::chrono::ceil<std::chrono::milliseconds>(due - clock_.Now());
            clock_.CallTickAfter(std::max(delay, std::chrono::milliseconds{1}));
        }
        return;
    }
    if (waitingTransfer_ != Transfer::None) {
        const Transfer t = waitingTransfer_;
        waitingTransfer_ = Transfer::None;
        StartTransfer(t);
        return;
    }
    waitingLastKey_ = false;
    SendLastKeyRequest();
}

void ZakLink::Tick() {
    tickDue_.reset();
    if (opening_) {
        // The port is still opening for a frame; look again shortly.
        tickDue_ = clock_.Now() + std::chrono::milliseconds{10};
        clock_.CallTickAfter(std::chrono::milliseconds{10});
        return;
    }
    SendWaiting();
}

}  // namespace zak
