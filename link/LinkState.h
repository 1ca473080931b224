#pragma once

// What the device link waits for, and what waits for the line: the one piece of state that
// decides which burst is acted upon and when a request may go out. No I/O and no clock of its
// own; ZakLink feeds it the events with their times and does what each step says.
//
// The unit answers each request with one reply that carries no address. So at most one
// request is out at a time, only its reply is acted upon, and a request whose reply could be
// confused with one still on its way never goes out.
//
// clang-format off
// | state          | download/upload  | last-key query | the awaited reply (1) | reply wait over, |
// |                | given            | given          |                       | line quiet (2)   |
// |----------------|------------------|----------------|-----------------------|------------------|
// | Idle           | send -> Awaiting | send ->        | -                     | -                |
// |                |                  | Awaiting       |                       |                  |
// | Opening (3)    | waits (4)        | waits (5)      | -                     | -                |
// | Awaiting       | -> Restart-      | waits (5)      | act on it -> Idle     | -> Idle: stalled |
// |                | Pending          |                |                       |                  |
// | RestartPending | replaces the one | waits (5)      | act on it only if it  | -> Idle, the     |
// |                | waiting          |                | is a last-key reply;  | restart goes out |
// |                |                  |                | -> Idle, the restart  |                  |
// |                |                  |                | goes out              |                  |
// clang-format on
//
// Any other burst, in every state, is logged by the caller and changes nothing; "-" likewise.
// (1) A burst that JudgeBurst calls a Reply to the request out. A reply to a read or a
//     last-key request that repeats the one before it byte for byte, within that one's reply
//     wait (and, for a read, for another block), may be the unit sending its last reply twice:
//     it is held back. A further reply then replaces it (it was the repeat); the reply wait
//     passing quietly makes it the answer (a block that happens to equal the one before, the
//     same key presented again); any other burst drops it (the request stalls, nothing is
//     stored). Acknowledgements are never held: each write carries its own address.
// (2) The reply wait is LongestReplyTime of the request out, counted from its sending; the line
//     is quiet when no burst has come for QuietTime. A burst that comes once both hold is too
//     late to be a reply: from Awaiting it is not acted upon, the request stalls.
// (3) A frame is going out and the port is being opened for it, which runs the window's event
//     loop: bursts now answer nothing sent, commands wait. Opening ends in Awaiting (or
//     RestartPending when a download or upload was given meanwhile), or in Idle when the port
//     does not open; commands given meanwhile are then dropped.
// (4) After the frame has gone out it waits as in Awaiting, so it never meets the reply to the
//     frame being sent.
// (5) A last-key query waits until the state is Idle: it follows the transfer running, never
//     interrupts it.
//
// The window's thread only.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "Frame.h"
#include "LinkClock.h"
#include "ReplyRule.h"

namespace zak {

enum class Transfer { None, Download, Upload };

class LinkState {
  public:
    using TimePoint = LinkClock::TimePoint;
    enum class Phase { Idle, Opening, Awaiting, RestartPending };

    // What the link does next.
    struct Step {
        enum class Action {
            Nothing,
            ActOnReply,     // act on `reply`, the answer to `request`
            StartTransfer,  // send the first request of `transfer`
            SendLastKey,    // send the last-key request
        };
        Action action = Action::Nothing;
        FrameCode request = FrameCode::CmdLastKey;
        Bytes reply;
        Transfer transfer = Transfer::None;
    };

    // The line's timing and how soon the unit answers, from which the reply wait follows.
    void SetLine(const LineTiming& line, std::chrono::milliseconds unitTurnaround);
    std::chrono::milliseconds ReplyWait(FrameCode request) const;

    // Events. Each returns the first step; after doing it, the link asks Due for more until
    // it answers Nothing.
    Step TransferGiven(Transfer t, TimePoint now);
    Step LastKeyGiven(TimePoint now);
    Step Burst(const std::uint8_t* burst, std::size_t n, TimePoint now);
    Step Due(TimePoint now);

    // A frame is about to go out (from Idle); the port may be opened for it.
    void Opening(FrameCode request);
    // It went out at `at` (`addr`: the block address of a block request); or it did not,
    // since the port did not open.
    void Sent(FrameCode request, std::uint16_t addr, TimePoint at);
    void NotSent();

    // When Due may have work without any other event; nothing when only an event can bring
    // some.
    std::optional<TimePoint> NextDue() const;

    Phase phase() const;
    // A download waits for the reply to a block read: the image is the download's until the
    // reply has come or the request has stalled.
    bool DownloadWaiting(TimePoint now) const;

  private:
    enum class Base { Idle, Opening, Awaiting };

    bool ReplyLost(TimePoint now) const;
    bool MayBeRepeat(const Bytes& reply, TimePoint now) const;
    TimePoint LostAt() const;
    Step ReplyCame(Bytes reply);
    Step Stall();

    Base base_ = Base::Idle;
    // The request out (Opening: the one going out) and when it was sent.
    FrameCode request_ = FrameCode::CmdLastKey;
    std::uint16_t addr_ = 0;
    TimePoint sentAt_{};
    // A download or upload given while a request was out: RestartPending when Awaiting.
    Transfer restart_ = Transfer::None;
    bool lastKeyWaiting_ = false;
    std::optional<TimePoint> lastBurstAt_;
    // The last reply that answered a read or a last-key request, the block it came for, and
    // until when a repeat of it may come.
    Bytes lastReply_;
    std::uint16_t lastReplyAddr_ = 0;
    TimePoint repeatUntil_{};
    // A reply held back as a possible repeat.
    std::optional<Bytes> held_;

    LineTiming line_{};
    std::chrono::milliseconds turnaround_ = UnitTurnaround;
};

}  // namespace zak
