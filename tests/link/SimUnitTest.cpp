// The simulated unit's behaviour without a line: finding requests, answering them, faults
// and commands.
#include <gtest/gtest.h>

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

TEST(SimCommands, CommandsAnswerOkOrSayWhatIsWrong) {
    ZakUnit unit;
    EXPECT_EQ(RunCommand(unit, "present 0A1B").text, "ok");
    EXPECT_EQ(RunCommand(unit, "send 11 22").output.front().bytes, (Bytes{0x11, 0x22}));
    EXPECT_EQ(RunCommand(unit, "noise 7").output.front().bytes.size(), 7u);
    EXPECT_EQ(RunCommand(unit, "peek 0x7FFE 2").text, "00 00");
    EXPECT_TRUE(RunCommand(unit, "quit").quit);
    EXPECT_TRUE(RunCommand(unit, "").ok);
    for (const char* wrong : {"present 0A1G", "present 0A1B2C3D4E5F6071", "peek 32767 2", "split",
                              "code 123", "drop 5", "at 0 drop", "send", "frobnicate"}) {
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
