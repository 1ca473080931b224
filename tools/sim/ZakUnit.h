#pragma once

// The simulated ZAK unit's behaviour, without I/O: its 32768 bytes of key memory, the key
// presented at its reader, the answer to each request, and the faults a test asks for.

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <random>
#include <vector>

#include "Frame.h"

namespace zak::sim {

constexpr int UnitMemorySize = 32768;

// Bytes the unit writes to the line together, after a pause.
struct LineChunk {
    std::chrono::milliseconds pauseBefore{0};
    Bytes bytes;
};

// A fault applied to one reply.
enum class FaultKind {
    Drop,     // no reply
    Corrupt,  // the checksum byte is wrong
    Split,    // a pause of `value` ms after the first half of the reply
    Code,     // the code byte is `value`, checksum made good again
    Double,   // the reply twice, in one go
    Delay,    // a pause of `value` ms before the reply
    Noise,    // a few bytes that fail the checksum, a pause of `value` ms, then the reply
    Twice,    // the reply, a pause of `value` ms, the reply again
};

// The kinds a random fault is drawn from, and the pauses it uses.
struct RandomFaults {
    int percent = 0;  // the chance of a fault for each reply
    // Noise, split and twice pause this long: a separate burst for the tool.
    std::chrono::milliseconds pause{500};
    // A delayed reply comes this late: past the tool's reply wait.
    std::chrono::milliseconds delay{3000};
};

struct Fault {
    FaultKind kind;
    int value = 0;
};

class ZakUnit {
  public:
    using Memory = std::array<std::uint8_t, UnitMemorySize>;

    Memory& memory() { return memory_; }
    const Memory& memory() const { return memory_; }

    // A key is presented at the unit's reader: the next last-key request reports it.
    void present(const TKod& kod);
    // Nothing counts as newly presented any more.
    void forgetPresented() { newlyPresented_ = false; }

    // The next reply that has no fault of its own gets this one; faults queue up, one per reply.
    void addFault(Fault f) { nextFaults_.push_back(f); }
    // The reply to request number `request` (counting every request from 1) gets this fault.
    void addFaultAt(int request, Fault f) { faultsAt_[request] = f; }
    // From now on each reply without a fault of its own gets a random one with the given
    // chance, drawn from every kind; `seed` makes the run repeatable.
    void setRandomFaults(const RandomFaults& r, std::uint32_t seed);
    const RandomFaults& randomFaults() const { return random_; }
    // The next write that reaches `addr` (or, without an address, the next write) is
    // acknowledged as usual but stores one byte wrong: the one at `addr` (the block's first).
    void storeWrongByte(std::optional<int> addr) { wrongByte_ = WrongByte{addr}; }

    // Answers one request as the unit does: a read with 0x11 and the 14 bytes from its
    // address, a write by storing its 14 bytes and 0x10, a last-key request with 0x13 and
    // the key presented since the last such request (ID byte 0, then bytes 6 down to 1), or
    // 0x23 when none was. A block that would reach past 0x7FFF is not answered.
    // Returns what goes on the line, faults applied; nothing when the reply is dropped.
    std::vector<LineChunk> answer(const Request& r);

    // Requests answered or refused so far, and faults applied to their replies.
    int requestCount() const { return requests_; }
    int faultCount() const { return faults_; }

  private:
    struct WrongByte {
        std::optional<int> addr;
    };

    std::optional<Bytes> reply(const Request& r);
    std::optional<Fault> takeFault();
    std::optional<Fault> randomFault();
    void store(const Request& r);

    Memory memory_{};
    TKod presented_{};
    bool newlyPresented_ = false;
    int requests_ = 0;
    int faults_ = 0;
    std::deque<Fault> nextFaults_;
    std::map<int, Fault> faultsAt_;
    RandomFaults random_;
    std::mt19937 rng_;
    std::optional<WrongByte> wrongByte_;
};

// The chunks that carry `reply` with fault `f` applied.
std::vector<LineChunk> ApplyFault(Bytes reply, const std::optional<Fault>& f);

}  // namespace zak::sim
