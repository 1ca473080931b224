// Bursts that are not the awaited reply, replies that come late, and commands given at awkward
// moments: none of them may put a block at another block's address.
#include <gtest/gtest.h>

#include <string>

#include "LinkHarness.h"

namespace zak::test {
namespace {

// A unit with 5 keys: a download reads the blocks from 28, 42, 56 and 70.
void FiveKeys(LinkRig& rig) {
    FillPattern(rig.unit.memory());
    SetHead(rig.unit.memory(), false, 0, 5);
}

// The image holds the unit's bytes from 28 up to `end`, each at its own address.
void ExpectImageMatchesUnit(const LinkRig& rig, int end) {
    for (int a = 28; a < end; ++a)
        ASSERT_EQ(rig.pamet[a], rig.unit.memory()[static_cast<std::size_t>(a)]) << "address " << a;
}

Bytes Text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

// Bytes that fail the checksum test.
Bytes Noise() {
    return {0x11, 0x5A, 0xC3, 0x00, 0x7E};
}

// Block 28 read, the read for 42 on its way, and the operator gives the download again.
struct RestartWhileReading {
    LinkRig rig;
    Request late{};

    RestartWhileReading() {
        FiveKeys(rig);
        rig.link.DownloadButtClick();
        EXPECT_TRUE(rig.answer());
        const auto r = rig.takeRequest();
        EXPECT_TRUE(r && r->addr == 42);
        late = *r;
        rig.link.DownloadButtClick();
        EXPECT_TRUE(rig.port.queued.empty());  // the new first request waits for the line
    }

    void lateReplyArrives() {
        for (const sim::LineChunk& chunk : rig.unit.answer(late))
            rig.feed(chunk.bytes);
    }

    // The restarted download runs to its end and reads every block in place.
    void expectCleanRestart() {
        EXPECT_EQ(Addresses(rig.run()), (std::vector<int>{28, 42, 56, 70}));
        EXPECT_TRUE(rig.window.downloadFinished);
        EXPECT_EQ(rig.klice.PocetKlicu, 5);
        ExpectImageMatchesUnit(rig, 84);
    }
};

TEST(StrayBurst, ABurstThatIsNoReplyDoesNotReleaseARestart) {
    const struct {
        const char* name;
        Bytes burst;
    } strays[] = {
        {"line-error report", Text("Comm Event: CE_FRAME, EvtMask = 8")},
        {"noise", Noise()},
        {"reply of another code", WriteAckReply()},
        {"first half of a reply", Bytes(8, 0x11)},
    };
    for (const auto& s : strays) {
        SCOPED_TRACE(s.name);
        RestartWhileReading r;
        r.rig.feed(s.burst);
        EXPECT_TRUE(r.rig.port.queued.empty());

        r.lateReplyArrives();  // logged, not stored, and now the restart goes out
        EXPECT_FALSE(r.rig.pamet.zobrazeno(42));
        ExpectImageMatchesUnit(r.rig, 42);
        r.expectCleanRestart();
    }
}

TEST(StrayBurst, NoiseBeforeTheReplyDoesNotUseTheReplyUp) {
    {
        SCOPED_TRACE("download");
        LinkRig rig;
        FiveKeys(rig);
        rig.link.DownloadButtClick();
        ASSERT_TRUE(rig.answer());
        const auto r = rig.takeRequest();
        ASSERT_TRUE(r);
        rig.feed(Noise());
        for (const sim::LineChunk& chunk : rig.unit.answer(*r))
            rig.feed(chunk.bytes);
        EXPECT_EQ(Addresses(rig.run()), (std::vector<int>{56, 70}));
        EXPECT_TRUE(rig.window.downloadFinished);
        ExpectImageMatchesUnit(rig, 84);
    }
    for (const bool presented : {true, false}) {
        SCOPED_TRACE(presented ? "a key presented" : "no key presented");
        LinkRig rig;
        if (presented)
            rig.unit.present(ID2Kod("0A1B2C3D4E5F60").Kod);
        rig.link.btnSendCRClick();
        const auto r = rig.takeRequest();
        ASSERT_TRUE(r);
        rig.feed(Text("Comm Event: CE_FRAME, EvtMask = 8"));
        for (const sim::LineChunk& chunk : rig.unit.answer(*r))
            rig.feed(chunk.bytes);
        if (presented) {
            ASSERT_EQ(rig.klice.PocetKlicu, 1);
            EXPECT_EQ(rig.klice.klic(1).ID, "0A1B2C3D4E5F60");
        } else {
            EXPECT_EQ(rig.window.messages,
                      std::vector<std::string>{"Nebyl nově přiložen žádný klíč."});
        }
    }
}

TEST(StrayBurst, AReplySlowerThanTheOldWaitDoesNotMeetTheRestartedRequest) {
    RestartWhileReading r;
    // The timer fires often while the unit takes 1.9 s; the restart must not go out.
    for (int i = 0; i < 19; ++i) {
        r.rig.advance(100ms);
        r.rig.link.Tick();
        ASSERT_TRUE(r.rig.port.queued.empty()) << "after " << (i + 1) * 100 << " ms";
    }
    r.lateReplyArrives();
    EXPECT_FALSE(r.rig.pamet.zobrazeno(42));
    r.expectCleanRestart();
}

TEST(StrayBurst, ACommandGivenWhileThePortOpensWaitsForTheLine) {
    const struct {
        const char* name;
        void (ZakLink::*first)();
        void (ZakLink::*meanwhile)();
        int keys;  // the query's key follows the download; a download replaces the table
    } cases[] = {
        {"download twice", &ZakLink::DownloadButtClick, &ZakLink::DownloadButtClick, 5},
        {"last key during a download", &ZakLink::DownloadButtClick, &ZakLink::btnSendCRClick, 6},
        {"download during a last-key query", &ZakLink::btnSendCRClick, &ZakLink::DownloadButtClick,
         5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LinkRig rig;
        FiveKeys(rig);
        rig.unit.present(ID2Kod("0A1B2C3D4E5F60").Kod);
        rig.port.whileOpening = [&] {
            rig.port.whileOpening = nullptr;
            (rig.link.*c.meanwhile)();
        };

        EXPECT_NO_THROW((rig.link.*c.first)());
        EXPECT_EQ(rig.link.BlockAddr(), 28);
        rig.run();

        EXPECT_TRUE(rig.window.downloadFinished);
        EXPECT_EQ(rig.klice.PocetKlicu, c.keys);
        for (int a = 32; a < 82; ++a)  // the five records; a key appended changes the head
            ASSERT_EQ(rig.pamet[a], rig.unit.memory()[static_cast<std::size_t>(a)]) << a;
        EXPECT_EQ(rig.unit.requestCount(), 5);  // one of them answered but abandoned
    }
}

// Every fault of the unit, on the second block of a download and of an upload: the transfer
// either goes through or stalls, and given again after a stall it puts every byte in place.
TEST(StrayBurst, EachFaultOfTheUnitPassesOrStallsButNeverShiftsABlock) {
    const LineTiming line{};
    const auto wait = LongestReplyTime(line, FrameCode::CmdWriteBlock);
    const struct {
        const char* name;
        sim::Fault fault;
        bool stalls;
    } cases[] = {
        {"noise before the reply", {sim::FaultKind::Noise, 300}, false},
        {"the reply twice in two bursts", {sim::FaultKind::Twice, 300}, false},
        {"a delayed reply", {sim::FaultKind::Delay, 1200}, false},
        {"a reply later than the reply wait", {sim::FaultKind::Delay, 2500}, true},
        {"split into two bursts", {sim::FaultKind::Split, 300}, true},
        {"twice in one burst", {sim::FaultKind::Double}, true},
        {"no reply", {sim::FaultKind::Drop}, true},
        {"wrong checksum", {sim::FaultKind::Corrupt}, true},
        {"another code", {sim::FaultKind::Code, 0x12}, true},
    };
    ASSERT_GT(std::chrono::milliseconds{2500}, wait);
    for (const bool upload : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(upload ? "upload, " : "download, ") + c.name);
            LinkRig rig;
            if (upload) {
                FillKeys(rig.klice, 5);
                Keys2Mem(rig.klice, rig.pamet);
            } else {
                FiveKeys(rig);
            }
            rig.unit.addFaultAt(2, c.fault);
            const auto start = upload ? &ZakLink::UploadButtClick : &ZakLink::DownloadButtClick;

            (rig.link.*start)();
            const std::size_t served = rig.run().size();
            EXPECT_EQ(served < 4, c.stalls) << served << " blocks";
            if (served < 4) {
                // The operator sees the transfer stand still and gives the command again.
                rig.advance(wait);
                rig.link.Tick();
                (rig.link.*start)();
                EXPECT_EQ(Addresses(rig.run()), (std::vector<int>{28, 42, 56, 70}));
            }
            for (int a = 28; a < 82; ++a)
                ASSERT_EQ(rig.pamet[a], rig.unit.memory()[static_cast<std::size_t>(a)]) << a;
            if (!upload) {
                EXPECT_TRUE(rig.window.downloadFinished);
                EXPECT_EQ(rig.klice.PocetKlicu, 5);
            }
        }
    }
}

// The unit sends its key reply twice, the second time after the next query has gone out: the
// repeat is held back and the unit's real answer taken instead.
TEST(StrayBurst, ARepeatedKeyReplyDoesNotAnswerTheNextQuery) {
    LinkRig rig;
    rig.unit.present(ID2Kod("0A1B2C3D4E5F60").Kod);
    rig.link.btnSendCRClick();
    ASSERT_TRUE(rig.answer());
    ASSERT_EQ(rig.klice.PocetKlicu, 1);
    const Bytes first = LastKeyReply(ID2Kod("0A1B2C3D4E5F60").Kod);

    rig.link.btnSendCRClick();
    const auto second = rig.takeRequest();
    ASSERT_TRUE(second);
    rig.feed(first);  // the repeat
    for (const sim::LineChunk& chunk : rig.unit.answer(*second))
        rig.feed(chunk.bytes);
    EXPECT_EQ(rig.window.messages, std::vector<std::string>{"Nebyl nově přiložen žádný klíč."});
    EXPECT_EQ(rig.klice.PocetKlicu, 1);
}

// Quiet: no burst for QuietTime. Bursts late in the reply wait hold a restart back until the
// line has been quiet that long; a burst once the wait is over is no reply any more.
TEST(StrayBurst, ARestartWaitsForTheReplyWaitAndAQuietLine) {
    const LineTiming line{};
    RestartWhileReading r;
    const auto wait = r.rig.link.ReplyWait(FrameCode::CmdReadBlock);
    r.rig.advance(wait - 100ms);
    r.rig.feed(Noise());
    r.rig.advance(100ms);
    r.rig.link.Tick();
    EXPECT_TRUE(r.rig.port.queued.empty());  // the wait is over, the line not quiet yet

    r.rig.advance(QuietTime(line) - 100ms - 1ms);
    r.rig.link.Tick();
    EXPECT_TRUE(r.rig.port.queued.empty());
    r.rig.advance(1ms);
    r.rig.link.Tick();
    r.expectCleanRestart();
}

TEST(StrayBurst, AReplyAfterTheRequestHasStalledIsNotActedUpon) {
    LinkRig rig;
    FiveKeys(rig);
    rig.link.DownloadButtClick();
    ASSERT_TRUE(rig.answer());
    const auto late = rig.takeRequest();
    ASSERT_TRUE(late);
    rig.advance(rig.link.ReplyWait(FrameCode::CmdReadBlock));
    for (const sim::LineChunk& chunk : rig.unit.answer(*late))
        rig.feed(chunk.bytes);
    EXPECT_FALSE(rig.pamet.zobrazeno(42));
    EXPECT_TRUE(rig.port.queued.empty());
    EXPECT_EQ(rig.window.log.back().substr(0, 6), "<- 11 ");  // logged all the same
}

// Blocks that happen to be equal, as in an empty part of the memory, are each held back as a
// possible repeat and taken once the reply wait has passed quietly.
TEST(StrayBurst, EqualNeighbourBlocksAreReadAfterTheReplyWait) {
    LinkRig rig;
    SetHead(rig.unit.memory(), false, 0, 10);  // the records are all zeros
    rig.link.DownloadButtClick();
    std::vector<Request> served;
    for (int i = 0; i < 20 && !rig.window.downloadFinished; ++i) {
        for (const Request& r : rig.run())
            served.push_back(r);
        rig.advance(rig.link.ReplyWait(FrameCode::CmdReadBlock));
        rig.link.Tick();
    }
    EXPECT_EQ(Addresses(served), (std::vector<int>{28, 42, 56, 70, 84, 98, 112, 126}));
    EXPECT_TRUE(rig.window.downloadFinished);
    EXPECT_EQ(rig.klice.PocetKlicu, 10);
}

// While a download waits for a block the image is the download's; once it has ended or
// stalled, or while another transfer runs, edits may write it.
TEST(StrayBurst, TheImageIsTheDownloadsWhileItWaitsForABlock) {
    LinkRig rig;
    FiveKeys(rig);
    EXPECT_FALSE(rig.link.DownloadHoldsImage());
    rig.link.DownloadButtClick();
    EXPECT_TRUE(rig.link.DownloadHoldsImage());
    ASSERT_TRUE(rig.answer());
    EXPECT_TRUE(rig.link.DownloadHoldsImage());
    rig.advance(rig.link.ReplyWait(FrameCode::CmdReadBlock) - 1ms);
    EXPECT_TRUE(rig.link.DownloadHoldsImage());
    rig.advance(1ms);
    EXPECT_FALSE(rig.link.DownloadHoldsImage());  // stalled

    rig.port.take();
    rig.link.DownloadButtClick();
    rig.run();
    EXPECT_TRUE(rig.window.downloadFinished);
    EXPECT_FALSE(rig.link.DownloadHoldsImage());

    rig.link.UploadButtClick();
    EXPECT_FALSE(rig.link.DownloadHoldsImage());
    rig.link.DownloadButtClick();  // waits for the acknowledgement: the upload still runs
    EXPECT_FALSE(rig.link.DownloadHoldsImage());
}

}  // namespace
}  // namespace zak::test
