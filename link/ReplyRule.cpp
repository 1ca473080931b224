#include "ReplyRule.h"

namespace zak {

namespace {

constexpr std::uint8_t code(FrameCode c) {
    return static_cast<std::uint8_t>(c);
}

bool answers(AwaitedReply awaited, std::uint8_t c) {
    switch (awaited) {
        case AwaitedReply::ReadBlock:
            return c == code(FrameCode::RplBlockData);
        case AwaitedReply::WriteBlock:
            return c == code(FrameCode::RplWriteAck);
        case AwaitedReply::LastKey:
            return c == code(FrameCode::RplLastKey) || c == code(FrameCode::RplNoNewKey);
    }
    return false;
}

}  // namespace

AwaitedReply AwaitedFor(FrameCode request) {
    switch (request) {
        case FrameCode::CmdWriteBlock:
            return AwaitedReply::WriteBlock;
        case FrameCode::CmdLastKey:
            return AwaitedReply::LastKey;
        default:
            return AwaitedReply::ReadBlock;
    }
}

BurstVerdict JudgeBurst(AwaitedReply awaited, const std::uint8_t* burst, std::size_t n) {
    if (!ChecksumOk(burst, n))
        return BurstVerdict::ChecksumError;
    if (!answers(awaited, burst[0]))
        return BurstVerdict::OtherCode;
    if (ReplyLength(burst[0]) != n)
        return BurstVerdict::WrongLength;
    return BurstVerdict::Reply;
}

std::chrono::milliseconds LineTime(const LineTiming& line, std::size_t bytes) {
    const long long bits = static_cast<long long>(bytes) * 10;
    return std::chrono::milliseconds{(bits * 1000 + line.baud - 1) / line.baud};
}

std::chrono::milliseconds LongestReplyTime(const LineTiming& line, FrameCode request,
                                           std::chrono::milliseconds turnaround) {
    const std::size_t longestReply = ReplyLength(code(FrameCode::RplBlockData));
    const auto total =
        LineTime(line, RequestLength(code(request)) + longestReply) + turnaround + line.burstGap;
    return total + total / 2;
}

std::chrono::milliseconds QuietTime(const LineTiming& line) {
    const auto total = LineTime(line, ReplyLength(code(FrameCode::RplBlockData))) + line.burstGap;
    return total + total / 2;
}

}  // namespace zak
