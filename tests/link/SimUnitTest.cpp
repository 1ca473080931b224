// The simulated unit's behaviour without a line: finding requests, answering them, faults
// and commands.
#include <gtest/gtest.h>

#include <set>

#include "OutputQueue.h"
#include "RequestDecoder.h"
#include "UnitCommands.h"
#include "ZakUnit.h"

namespace zak::sim {
namespace {

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

TEST(SimDecoder, FindsEachRequestWhateverComesAroundIt) {
    Bytes badWrite = WriteBlockRequest(42, {});
    badWrite.back() ^= 0xFF;
    const struct {
        const char* name;
        Bytes bytes;
        bool byteByByte;
        std::vector<FrameCode> found;       // by feed
        std::vector<FrameCode> afterQuiet;  // when the line then goes quiet
    } cases[] = {
        {"one request", ReadBlockRequest(28), false, {FrameCode::CmdReadBlock}, {}},
        {"byte by byte", WriteBlockRequest(28, {}), true, {FrameCode::CmdWriteBlock}, {}},
        {"noise before",
         Concat({{0xFF, 0x42, 0x10}, LastKeyRequest()}),
         false,
         {FrameCode::CmdLastKey},
         {}},
        {"a bad request before",
         Concat({badWrite, ReadBlockRequest(28)}),
         false,
         {FrameCode::CmdReadBlock},
         {}},
        // A stray 02 waits for a write request's 19 bytes; the quiet line gives it up.
        {"a stray code byte before",
         Concat({{0x02}, ReadBlockRequest(28)}),
         false,
         {},
         {FrameCode::CmdReadBlock}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RequestDecoder decoder;
        std::vector<Request> found;
        if (c.byteByByte) {
            for (const std::uint8_t b : c.bytes)
                for (const Request& r : decoder.feed(&b, 1))
                    found.push_back(r);
        } else {
            found = decoder.feed(c.bytes.data(), c.bytes.size());
        }
        std::vector<FrameCode> codes;
        for (const Request& r : found)
            codes.push_back(r.code);
        EXPECT_EQ(codes, c.found);
        codes.clear();
        for (const Request& r : decoder.lineQuiet())
            codes.push_back(r.code);
        EXPECT_EQ(codes, c.afterQuiet);
        EXPECT_FALSE(decoder.waiting());
    }
}

Bytes Reply(ZakUnit& unit, const Bytes& request) {
    const auto r = ParseRequest(request.data(), request.size());
    EXPECT_TRUE(r);
    Bytes all;
    for (const LineChunk& c : unit.answer(*r))
        all.insert(all.end(), c.bytes.begin(), c.bytes.end());
    return all;
}

TEST(SimUnit, AnswersAsTheUnitDoes) {
    ZakUnit unit;
    for (int a = 0; a < UnitMemorySize; ++a)
        unit.memory()[static_cast<std::size_t>(a)] = static_cast<std::uint8_t>(a);

    BlockData block{};
    for (int i = 0; i < BlockLength; ++i)
        block[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(28 + i);
    EXPECT_EQ(Reply(unit, ReadBlockRequest(28)), BlockDataReply(block));

    block.fill(0xA5);
    EXPECT_EQ(Reply(unit, WriteBlockRequest(32754, block)), (Bytes{0x10, 0xEF}));
    EXPECT_EQ(unit.memory()[32754], 0xA5);
    EXPECT_EQ(unit.memory()[32767], 0xA5);
    EXPECT_EQ(unit.memory()[32753], static_cast<std::uint8_t>(32753));

    // A block reaching past 0x7FFF is not answered, nor written.
    EXPECT_TRUE(Reply(unit, ReadBlockRequest(32760)).empty());
    EXPECT_TRUE(Reply(unit, WriteBlockRequest(32760, {})).empty());
    EXPECT_EQ(unit.memory()[32760], 0xA5);

    EXPECT_EQ(Reply(unit, LastKeyRequest()), (Bytes{0x23, 0xDC}));
    unit.present({0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F, 0x60});
    EXPECT_EQ(Reply(unit, LastKeyRequest()),
              (Bytes{0x13, 0x0A, 0x60, 0x5F, 0x4E, 0x3D, 0x2C, 0x1B, 0x9D}));
    EXPECT_EQ(Reply(unit, LastKeyRequest()), (Bytes{0x23, 0xDC}));
}

TEST(SimUnit, FaultsChangeTheReplyTheyAreMeantFor) {
    const Bytes ack{0x10, 0xEF};
    const struct {
        const char* command;
        std::vector<Bytes> chunks;
        int pause;  // before the last chunk
    } cases[] = {
        {"drop", {}, 0},
        {"corrupt", {{0x10, 0xBA}}, 0},
        {"split 400", {{0x10}, {0xEF}}, 400},
        {"delay 600", {ack}, 600},
        {"code 23", {{0x23, 0xDC}}, 0},
        {"double", {{0x10, 0xEF, 0x10, 0xEF}}, 0},
        {"noise-before 300", {{0x5A, 0xA5, 0x3C}, ack}, 300},
        {"twice 300", {ack, ack}, 300},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        ZakUnit unit;
        ASSERT_TRUE(RunCommand(unit, std::string("at 2 ") + c.command).ok);
        const Request write = *ParseRequest(WriteBlockRequest(28, {}).data(), 19);
        ASSERT_EQ(unit.answer(write).front().bytes, ack);  // request 1: untouched
        const std::vector<LineChunk> chunks = unit.answer(write);
        std::vector<Bytes> bytes;
        for (const LineChunk& chunk : chunks)
            bytes.push_back(chunk.bytes);
        EXPECT_EQ(bytes, c.chunks);
        if (!chunks.empty()) {
            EXPECT_EQ(chunks.back().pauseBefore.count(), c.pause);
        }
        EXPECT_EQ(unit.answer(write).front().bytes, ack);  // request 3: untouched
    }
}

TEST(SimUnit, AWrongByteIsStoredWhereAskedAndTheWriteAcknowledged) {
    const Request write = *ParseRequest(WriteBlockRequest(42, {}).data(), 19);
    for (const char* command : {"wrong-byte", "wrong-byte 47", "wrong-byte 0x2F"}) {
        SCOPED_TRACE(command);
        ZakUnit unit;
        ASSERT_TRUE(RunCommand(unit, command).ok);
        const std::size_t at = std::string(command) == "wrong-byte" ? 42 : 47;
        if (at != 42) {
            // A write that does not reach the address leaves the fault waiting.
            unit.answer(*ParseRequest(WriteBlockRequest(28, {}).data(), 19));
            EXPECT_EQ(unit.memory()[28], 0x00);
        }
        EXPECT_EQ(unit.answer(write).front().bytes, WriteAckReply());
        for (std::size_t a = 42; a < 56; ++a)
            EXPECT_EQ(unit.memory()[a], a == at ? 0xFF : 0x00) << a;
        unit.answer(write);  // once only
        EXPECT_EQ(unit.memory()[at], 0x00);
    }
}

// Random faults come from every kind, at about the chance asked for, the same for a seed.
TEST(SimUnit, RandomFaultsAreDrawnFromEveryKindAndRepeatForASeed) {
    const auto run = [](std::uint32_t seed) {
        ZakUnit unit;
        unit.setRandomFaults({5, std::chrono::milliseconds{40}, std::chrono::milliseconds{900}},
                             seed);
        const Request read = *ParseRequest(ReadBlockRequest(28).data(), 5);
        const Bytes good = BlockDataReply({});
        std::vector<std::vector<LineChunk>> faulty;
        for (int i = 0; i < 4000; ++i) {
            std::vector<LineChunk> chunks = unit.answer(read);
            if (chunks.size() != 1 || chunks[0].bytes != good || chunks[0].pauseBefore.count())
                faulty.push_back(std::move(chunks));
        }
        EXPECT_EQ(static_cast<int>(faulty.size()), unit.faultCount());
        EXPECT_EQ(RunCommand(unit, "stats").text,
                  "requests 4000 faults " + std::to_string(unit.faultCount()));
        return faulty;
    };
    const auto faulty = run(7);
    EXPECT_GT(faulty.size(), 120u);
    EXPECT_LT(faulty.size(), 280u);
    std::set<std::string> kinds;
    for (const auto& chunks : faulty) {
        if (chunks.empty())
            kinds.insert("drop");
        else if (chunks.size() == 2)
            kinds.insert(chunks[0].bytes.size() == 3    ? "noise"
                         : chunks[0].bytes.size() == 16 ? "twice"
                                                        : "split");
        else if (chunks[0].pauseBefore.count() == 900)
            kinds.insert("delay");
        else if (chunks[0].bytes.size() == 32)
            kinds.insert("double");
        else
            kinds.insert(chunks[0].bytes[0] == 0x11 ? "corrupt" : "code");
    }
    EXPECT_EQ(kinds.size(), 8u);
    const auto again = run(7);
    ASSERT_EQ(again.size(), faulty.size());
    for (std::size_t i = 0; i < again.size(); ++i)
        EXPECT_EQ(again[i].size(), faulty[i].size());
}

TEST(SimOutput, PausesAndThePaceCountFromTheEndOfWhatIsAhead) {
    using namespace std::chrono_literals;
    const OutputQueue::TimePoint t0{};
    OutputQueue q(1000us);  // a byte a millisecond
    q.push({0ms, {1, 2, 3}}, t0);
    q.push({10ms, {4}}, t0);  // 10 ms after byte 3 has gone: at 3 + 10
    EXPECT_EQ(q.due(t0), (Bytes{1}));
    EXPECT_EQ(q.due(t0 + 2ms), (Bytes{1, 2, 3}));
    q.consume(2);  // the line took two of them
    EXPECT_EQ(q.due(t0 + 12ms), (Bytes{3}));
    EXPECT_EQ(q.nextDue(), t0 + 2ms);
    q.consume(1);
    EXPECT_EQ(q.nextDue(), t0 + 13ms);
    EXPECT_EQ(q.dropOverdue(t0 + 1013ms, 1000ms), 1u);
    EXPECT_TRUE(q.empty());
    q.push({5ms, {9}}, t0 + 2000ms);  // the line has long been free
    EXPECT_EQ(q.nextDue(), t0 + 2005ms);
}

TEST(SimCommands, CommandsAnswerOkOrSayWhatIsWrong) {
    ZakUnit unit;
    EXPECT_EQ(RunCommand(unit, "present 0A1B").text, "ok");
    EXPECT_EQ(RunCommand(unit, "send 11 22").output.front().bytes, (Bytes{0x11, 0x22}));
    EXPECT_EQ(RunCommand(unit, "noise 7").output.front().bytes.size(), 7u);
    EXPECT_EQ(RunCommand(unit, "peek 0x7FFE 2").text, "00 00");
    EXPECT_TRUE(RunCommand(unit, "quit").quit);
    EXPECT_TRUE(RunCommand(unit, "").ok);
    for (const char* wrong :
         {"present 0A1G", "present 0A1B2C3D4E5F6071", "peek 32767 2", "split", "code 123", "drop 5",
          "at 0 drop", "send", "frobnicate", "twice", "noise-before x", "wrong-byte 32768",
          "random", "random 101", "random 5 x"}) {
        const CommandResult r = RunCommand(unit, wrong);
        EXPECT_FALSE(r.ok) << wrong;
        EXPECT_EQ(r.text.rfind("error: ", 0), 0u) << wrong;
    }
    // The key presented first was kept: 0A1B completed with zeros.
    const Bytes reply = [&] {
        Bytes all;
        for (const LineChunk& c : unit.answer(*ParseRequest(LastKeyRequest().data(), 2)))
            all = c.bytes;
        return all;
    }();
    EXPECT_EQ(reply, LastKeyReply({0x0A, 0x1B, 0, 0, 0, 0, 0}));
}

}  // namespace
}  // namespace zak::sim
