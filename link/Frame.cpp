#include "Frame.h"

namespace zak {

namespace {

constexpr std::uint8_t code(FrameCode c) {
    return static_cast<std::uint8_t>(c);
}

Bytes blockRequest(FrameCode c, std::uint16_t addr) {
    return {code(c), static_cast<std::uint8_t>(addr >> 8), static_cast<std::uint8_t>(addr & 0xFF),
            BlockLength};
}

void appendHex(std::string& line, const std::uint8_t* bytes, std::size_t n) {
    static const char digits[] = "0123456789ABCDEF";
    line.reserve(line.size() + 3 * n + 16);
    for (std::size_t i = 0; i < n; ++i) {
        line += digits[bytes[i] >> 4];
        line += digits[bytes[i] & 0x0F];
        line += ' ';
    }
}

}  // namespace

std::uint8_t Checksum(const std::uint8_t* bytes, std::size_t n) {
    std::uint8_t sum = 0xFF;
    for (std::size_t i = 0; i < n; ++i)
        sum ^= bytes[i];
    return sum;
}

bool ChecksumOk(const std::uint8_t* bytes, std::size_t n) {
    return n > 0 && Checksum(bytes, n) == 0;
}

std::size_t ReplyLength(std::uint8_t c) {
    switch (static_cast<FrameCode>(c)) {
        case FrameCode::RplWriteAck:
        case FrameCode::RplNoNewKey:
            return 2;
        case FrameCode::RplBlockData:
            return 2 + BlockLength;
        case FrameCode::RplLastKey:
            return 2 + DelkaKodu;
        default:
            return 0;
    }
}

std::size_t RequestLength(std::uint8_t c) {
    switch (static_cast<FrameCode>(c)) {
        case FrameCode::CmdReadBlock:
            return 5;
        case FrameCode::CmdWriteBlock:
            return 5 + BlockLength;
        case FrameCode::CmdLastKey:
            return 2;
        default:
            return 0;
    }
}

Bytes WithChecksum(Bytes body) {
    body.push_back(Checksum(body.data(), body.size()));
    return body;
}

Bytes ReadBlockRequest(std::uint16_t addr) {
    return WithChecksum(blockRequest(FrameCode::CmdReadBlock, addr));
}

Bytes WriteBlockRequest(std::uint16_t addr, const BlockData& data) {
    Bytes frame = blockRequest(FrameCode::CmdWriteBlock, addr);
    frame.insert(frame.end(), data.begin(), data.end());
    return WithChecksum(std::move(frame));
}

Bytes LastKeyRequest() {
    return WithChecksum({code(FrameCode::CmdLastKey)});
}

Bytes WriteAckReply() {
    return WithChecksum({code(FrameCode::RplWriteAck)});
}

Bytes BlockDataReply(const BlockData& data) {
    Bytes frame{code(FrameCode::RplBlockData)};
    frame.insert(frame.end(), data.begin(), data.end());
    return WithChecksum(std::move(frame));
}

Bytes LastKeyReply(const TKod& kod) {
    Bytes frame{code(FrameCode::RplLastKey), kod[0]};
    for (int j = DelkaKodu - 1; j >= 1; --j)
        frame.push_back(kod[static_cast<std::size_t>(j)]);
    return WithChecksum(std::move(frame));
}

Bytes NoNewKeyReply() {
    return WithChecksum({code(FrameCode::RplNoNewKey)});
}

TKod KodFromLastKeyReply(const std::uint8_t* reply) {
    TKod kod{};
    kod[0] = reply[1];
    for (int j = 1; j < DelkaKodu; ++j)
        kod[static_cast<std::size_t>(j)] = reply[8 - j];
    return kod;
}

std::optional<Request> ParseRequest(const std::uint8_t* frame, std::size_t n) {
    if (n == 0 || RequestLength(frame[0]) != n || !ChecksumOk(frame, n))
        return std::nullopt;
    Request r{static_cast<FrameCode>(frame[0])};
    if (r.code == FrameCode::CmdLastKey)
        return r;
    if (frame[3] != BlockLength)
        return std::nullopt;
    r.addr = static_cast<std::uint16_t>(frame[1] << 8 | frame[2]);
    if (r.code == FrameCode::CmdWriteBlock) {
        for (int i = 0; i < BlockLength; ++i)
            r.data[static_cast<std::size_t>(i)] = frame[4 + i];
    }
    return r;
}

std::string SentLogLine(const std::uint8_t* frame, std::size_t n) {
    std::string line = "-> ";
    appendHex(line, frame, n);
    return line;
}

std::string ReceivedLogLine(const std::uint8_t* burst, std::size_t n, bool checksumOk) {
    std::string line = "<- ";
    appendHex(line, burst, n);
    line += checksumOk ? ": CRC OK" : ": CRC ERROR!";
    return line;
}

}  // namespace zak
