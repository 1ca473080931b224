#pragma once

// One conversation with a ZAK unit over a serial port: a request goes out, and the program
// waits for its reply with a deadline; a reply that does not come, or comes damaged, is asked
// for again at the same address.
//
// Which burst is the reply, and when a request may go out again, is the window's rule
// (LinkState): a burst ends the wait only when it is a well-formed reply to the request
// awaited; every other burst is logged and changes nothing; a block reply that repeats the
// one before is held back until the reply wait shows whether it was a repeat. A request goes
// out again only once its reply wait (the longest a unit may take) has passed and the line
// has been quiet: a reply to the first try that comes late is thus either taken as the answer
// to that same request (it belongs to the same address) or has come and gone before the next
// request leaves; and once a request asked again has its answer, the next one waits until the
// replies the earlier tries may still bring have come and gone too. A reply is never stored
// at an address it does not belong to. Reads and writes of a block are harmless to repeat; a
// last-key request is not (the unit forgets the key once it has reported it), see LastKey.
//
// --fast. The serial component delivers a burst as soon as it is a well-formed reply to the
// request awaited (its code's length has arrived and its checksum passes), instead of after
// the burst gap; everything else still ends by the silence rule. A reply sent twice in a row
// then comes as two bursts, of which the second repeats the block before and is held back by
// the rule above, as it is when a unit pauses between the two.
//
// Threads: everything runs on the main thread; the serial component's threads reach it only
// through the notification queue, which this class runs while it waits.

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "Comm32.h"
#include "EventQueue.h"
#include "Frame.h"
#include "LinkState.h"
#include "ReplyRule.h"
#include "TrafficLog.h"

namespace zak::ctl {

// The line speed of every ZAK unit.
constexpr std::uint32_t UnitBaudRate = 2400;

struct LineOptions {
    std::string port;   // COM1..COM8 or a device path
    int retries = 3;    // times a block is asked again before the command gives up
    bool fast = false;  // a reply ends when it is whole, not after the burst gap
    std::chrono::milliseconds burstGap{TComm32::DefaultBurstGap};
    // How soon the unit starts its reply, from which the reply wait follows.
    std::chrono::milliseconds turnaround{UnitTurnaround};
};

class UnitSession {
  public:
    UnitSession(LineOptions options, TrafficLog& log);
    ~UnitSession();
    UnitSession(const UnitSession&) = delete;
    UnitSession& operator=(const UnitSession&) = delete;

    // Opens the port. Throws CtlError (port) when it cannot be opened.
    void Open();

    // The 14 bytes of unit memory from `addr`. Throws CtlError: no answer after the retries
    // (naming the block), or the port lost.
    BlockData ReadBlock(std::uint16_t addr);

    // Stores 14 bytes at `addr` in the unit; returns when the unit has acknowledged them.
    void WriteBlock(std::uint16_t addr, const BlockData& data);

    // The key presented to the unit since it was last asked, or nothing when none was.
    // When a reply was lost and the request asked again, an answer of "no new key" cannot be
    // trusted (the lost reply may have carried the key, which the unit then forgot): that is
    // reported as no answer, with advice to present the key again.
    std::optional<TKod> LastKey();

    // Requests asked again so far.
    int RequestsRepeated() const { return repeated_; }

  private:
    using Clock = std::chrono::steady_clock;
    struct Burst {
        Bytes bytes;
        Clock::time_point at;
    };
    class AwaitedNow;

    // Sends `request` and returns its reply, asking again as described above.
    Bytes Exchange(const Bytes& request, const std::string& what);
    // Waits for the reply to the request just sent; nothing when it has not come by
    // `deadline` and the line has gone quiet. `failure` says what went wrong.
    std::optional<Bytes> AwaitReply(FrameCode request, Clock::time_point sentAt,
                                    std::string& failure);
    // After a request asked again has been answered: waits out the replies that the earlier
    // tries may still bring, so that none of them meets the next request.
    void LetEarlierRepliesPass(FrameCode request, Clock::time_point lastSent);
    void Send(const Bytes& request);
    std::optional<Burst> NextBurst(Clock::time_point limit);
    [[noreturn]] void PortLost() const;

    LineOptions options_;
    TrafficLog& log_;
    LineTiming timing_;
    LinkState state_;
    TEventQueue queue_;
    std::shared_ptr<AwaitedNow> awaited_;  // --fast only
    TComm32 comm_;
    std::deque<Burst> bursts_;
    bool lost_ = false;
    int repeated_ = 0;
    int lastTries_ = 0;
};

}  // namespace zak::ctl
