#pragma once
// Which burst answers a request, and how long a unit may take to answer.
//
// The unit answers each request with exactly one reply, and a reply carries no address: once
// taken for the answer to a request, nothing can tell it apart afterwards. So a burst ends the
// wait for a reply only when it is a well-formed reply to the request awaited: it passes the
// checksum, its code answers that request and it has exactly that code's length. Every other
// burst (noise, a part of a split reply, two replies in one burst, a line-error report, a
// reply of another code) changes nothing and the wait goes on.
//
// | awaited     | acted upon          | everything else                               |
// |-------------|---------------------|-----------------------------------------------|
// | read block  | 11 + 14 bytes + sum | logged with its verdict, the wait goes on     |
// | write block | 10 + sum            | logged with its verdict, the wait goes on     |
// | last key    | 13 + 7 bytes + sum, | logged with its verdict, the wait goes on     |
// |             | or 23 + sum         |                                               |
//
// Plain functions without state; any thread.
#include <chrono>
#include <cstddef>
#include <cstdint>

#include "Frame.h"

namespace zak {

enum class AwaitedReply { ReadBlock, WriteBlock, LastKey };

enum class BurstVerdict {
    Reply,          // the awaited reply, whole: act on it
    ChecksumError,  // fails the checksum test
    OtherCode,      // passes the checksum, but its code does not answer the request awaited
    WrongLength,    // the right code, but not that code's length (cut short, or run on)
};

// The awaited reply for a request code (CmdReadBlock, CmdWriteBlock, CmdLastKey).
AwaitedReply AwaitedFor(FrameCode request);

// Judges one received burst of n bytes against the request awaited.
BurstVerdict JudgeBurst(AwaitedReply awaited, const std::uint8_t* burst, std::size_t n);

// The line's timing as both ends see it.
struct LineTiming {
    int baud = 2400;
    // The silence that ends a burst on the tool's side.
    std::chrono::milliseconds burstGap{250};
};

// What the tool assumes of a unit: it starts its reply within this time after the request's
// last byte has reached it, and sends the reply without a pause of burstGap inside it.
// Generous on purpose: a reply later than this lands on whatever request went out after the
// wait, and nothing can tell it apart there.
constexpr std::chrono::milliseconds UnitTurnaround{1000};

// The time n bytes take on the line: 10 bits a byte (start, 8 data, stop).
std::chrono::milliseconds LineTime(const LineTiming& line, std::size_t bytes);

// The longest from the moment a request is queued until its reply has been delivered as a
// burst: the request and the longest reply on the line, the unit's turnaround, the gap that
// ends the burst, all with a margin of half as much again. A reply that has not come by then
// will not come; only then may a request go out whose reply could be confused with it.
// `turnaround` is shorter only for a unit known to answer sooner (a simulated one).
std::chrono::milliseconds LongestReplyTime(const LineTiming& line, FrameCode request,
                                           std::chrono::milliseconds turnaround = UnitTurnaround);

// How long the line must have carried no burst before it counts as quiet: the time the
// longest reply takes from its first byte until it is delivered as a burst, with the same
// margin. A burst that was not the reply may have the reply right behind it (noise in front of
// it, the first part of a reply cut off by a pause); such a reply has come by then.
std::chrono::milliseconds QuietTime(const LineTiming& line);

}  // namespace zak
