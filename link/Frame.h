#pragma once

// The frames exchanged with a ZAK unit, shared by the tool's link and the simulated unit.
//
// A frame is a code byte, the fields of that code and a checksum byte: 0xFF XOR every byte
// before it. Two-byte numbers go high byte first. Nothing marks where a frame begins or ends:
// on the tool's side a frame is whatever one received burst holds.
//
// Plain functions without state; any thread.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "TKlic.h"

namespace zak {

enum class FrameCode : std::uint8_t {
    CmdReadBlock = 0x01,   // 01, address hi, address lo, 0E
    CmdWriteBlock = 0x02,  // 02, address hi, address lo, 0E, 14 data bytes
    CmdLastKey = 0x03,     // 03
    RplWriteAck = 0x10,    // 10
    RplBlockData = 0x11,   // 11, 14 data bytes
    RplLastKey = 0x13,     // 13, ID byte 0, ID bytes 6 down to 1
    RplNoNewKey = 0x23,    // 23
};

// Bytes moved by one block request; the length byte of every block request.
constexpr int BlockLength = 14;

// Frames are built in and received into buffers of this size (`TxBuffer`, `RxBuffer`).
constexpr std::size_t FrameBufferSize = 1025;

// Bytes before the checksum: a frame carries 1 to 255 of them.
constexpr int MaxFrameBody = 255;

using Bytes = std::vector<std::uint8_t>;
using BlockData = std::array<std::uint8_t, BlockLength>;

// 0xFF XOR the n bytes: the checksum that follows them in a frame.
std::uint8_t Checksum(const std::uint8_t* bytes, std::size_t n);

// A frame passes the checksum test when 0xFF XOR all its bytes, checksum included, is 0.
// An empty frame fails.
bool ChecksumOk(const std::uint8_t* bytes, std::size_t n);

// Whole frame lengths on the line, checksum included: what the unit sends for each reply and
// what it takes for each request. 0 for any other code.
std::size_t ReplyLength(std::uint8_t code);
std::size_t RequestLength(std::uint8_t code);

// Appends the checksum to the frame's bytes.
Bytes WithChecksum(Bytes body);

// Requests, checksum included.
Bytes ReadBlockRequest(std::uint16_t addr);
Bytes WriteBlockRequest(std::uint16_t addr, const BlockData& data);
Bytes LastKeyRequest();

// Replies, checksum included. The last-key reply carries ID byte 0 first, then ID bytes 6
// down to 1: the order of the unit's key record.
Bytes WriteAckReply();
Bytes BlockDataReply(const BlockData& data);
Bytes LastKeyReply(const TKod& kod);
Bytes NoNewKeyReply();

// The seven ID bytes of a last-key reply (at least 8 bytes), back in ID order.
TKod KodFromLastKeyReply(const std::uint8_t* reply);

// A request as the unit takes it.
struct Request {
    FrameCode code;
    std::uint16_t addr = 0;  // block requests
    BlockData data{};        // write requests
};

// The request that `frame` holds when it is one whole request of a known code with its own
// length and a good checksum; nothing otherwise.
std::optional<Request> ParseRequest(const std::uint8_t* frame, std::size_t n);

// Traffic log lines: every byte as "%.2X " after the arrow, and for a received burst the
// verdict. A frame sent: "-> 01 00 1C 0E EC "; a burst received: "<- 23 DC : CRC OK" or
// "<- 23 DD : CRC ERROR!".
std::string SentLogLine(const std::uint8_t* frame, std::size_t n);
std::string ReceivedLogLine(const std::uint8_t* burst, std::size_t n, bool checksumOk);

}  // namespace zak
