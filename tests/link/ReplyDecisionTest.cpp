// Bursts that come at the wrong moment or are not whole good replies: logged, never acted upon,
// and the next command always gets going again.
#include <gtest/gtest.h>

#include <algorithm>

#include "LinkHarness.h"

namespace zak::test {
namespace {

BlockData Block(std::uint8_t first) {
    BlockData d{};
    for (int i = 0; i < BlockLength; ++i)
        d[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(first + i);
    return d;
}

bool ImageUntouched(const MemoryImage& m) {
    for (int a = 0; a < VelikostPameti; ++a)
        if (m.zobrazeno(a))
            return false;
    return true;
}

TEST(ReplyDecision, OnlyTheReplyOfTheRequestSentLastIsActedUpon) {
    const struct {
        const char* name;
        void (ZakLink::*command)();
    } commands[] = {{"download", &ZakLink::DownloadButtClick},
                    {"upload", &ZakLink::UploadButtClick},
                    {"last key", &ZakLink::btnSendCRClick}};
    const Bytes replies[] = {WriteAckReply(), BlockDataReply(Block(0x40)),
                             LastKeyReply(ID2Kod("0A1B2C3D4E5F60").Kod), NoNewKeyReply(),
                             WithChecksum({0x12})};
    const auto fits = [](int command, std::uint8_t code) {
        return (command == 0 && code == 0x11) || (command == 1 && code == 0x10) ||
               (command == 2 && (code == 0x13 || code == 0x23));
    };
    for (int c = 0; c < 3; ++c) {
        for (const Bytes& reply : replies) {
            if (fits(c, reply[0]))
                continue;
            SCOPED_TRACE(std::string(commands[c].name) + ", reply " + std::to_string(reply[0]));
            LinkRig rig;
            (rig.link.*commands[c].command)();
            rig.port.take();

            rig.feed(reply);
            EXPECT_EQ(rig.window.log.back().substr(rig.window.log.back().size() - 8), ": CRC OK");
            EXPECT_TRUE(rig.port.queued.empty());  // the transfer does not go on as another
            EXPECT_TRUE(ImageUntouched(rig.pamet));
            EXPECT_EQ(rig.klice.PocetKlicu, 0);
            EXPECT_TRUE(rig.window.messages.empty());

            // The same reply once more, now unasked for, changes nothing either.
            rig.feed(reply);
            EXPECT_TRUE(rig.port.queued.empty());
            EXPECT_TRUE(ImageUntouched(rig.pamet));
            EXPECT_TRUE(rig.window.messages.empty());
        }
    }
}

TEST(ReplyDecision, ABurstFailingTheChecksumIsNotActedUponEvenWhileReplyValidIsSet) {
    LinkRig rig;
    rig.link.btnSendCRClick();
    rig.port.take();
    rig.feed(NoNewKeyReply());
    ASSERT_TRUE(rig.link.ReplyValid());
    rig.window.messages.clear();

    Bytes bad = LastKeyReply(ID2Kod("0A1B2C3D4E5F60").Kod);
    bad.back() ^= 0x01;
    rig.feed(bad);
    EXPECT_EQ(rig.window.log.back().substr(rig.window.log.back().size() - 12), ": CRC ERROR!");
    EXPECT_EQ(rig.klice.PocetKlicu, 0);
    EXPECT_TRUE(rig.window.messages.empty());
}

// A faulty reply in the middle of a download: the block is not stored, the download stands
// still, and giving the command again reads the whole memory.
TEST(ReplyDecision, AFaultyReplyStallsTheDownloadAndARestartRecovers) {
    const struct {
        const char* name;
        sim::Fault fault;
    } cases[] = {
        {"wrong checksum", {sim::FaultKind::Corrupt}},
        {"two replies in one burst", {sim::FaultKind::Double}},
        {"split into two bursts", {sim::FaultKind::Split, 300}},
        {"another code", {sim::FaultKind::Code, 0x10}},
        {"no reply", {sim::FaultKind::Drop}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LinkRig rig;
        FillPattern(rig.unit.memory());
        SetHead(rig.unit.memory(), false, 0, 5);  // blocks 28, 42, 56, 70
        rig.unit.addFaultAt(3, c.fault);

        rig.link.DownloadButtClick();
        ASSERT_TRUE(rig.answer());
        ASSERT_TRUE(rig.answer());
        ASSERT_TRUE(rig.answer());  // block 56, faulty
        EXPECT_TRUE(rig.port.queued.empty());
        EXPECT_FALSE(rig.pamet.zobrazeno(56));
        EXPECT_FALSE(rig.window.downloadFinished);

        // Without any reply the line is busy until the reply wait has passed.
        rig.advance(rig.link.ReplyWait(FrameCode::CmdReadBlock));
        rig.link.Tick();
        rig.link.DownloadButtClick();
        EXPECT_EQ(Addresses(rig.run()), (std::vector<int>{28, 42, 56, 70}));
        EXPECT_TRUE(rig.window.downloadFinished);
        for (int a = 28; a < 84; ++a)
            ASSERT_EQ(rig.pamet[a], rig.unit.memory()[static_cast<std::size_t>(a)]) << a;
    }
}

TEST(ReplyDecision, ALateReplyToTheTransferBeforeARestartIsNotStored) {
    LinkRig rig;
    FillPattern(rig.unit.memory());
    SetHead(rig.unit.memory(), false, 0, 5);
    rig.link.DownloadButtClick();
    ASSERT_TRUE(rig.answer());            // block 28 stored
    const auto late = rig.takeRequest();  // the request for 42, its reply on its way
    ASSERT_TRUE(late);

    rig.link.DownloadButtClick();          // the operator starts again
    EXPECT_TRUE(rig.port.queued.empty());  // the new request waits for the line
    for (const sim::LineChunk& chunk : rig.unit.answer(*late))
        rig.feed(chunk.bytes);

    // The late block went nowhere; then the new download read everything in place.
    EXPECT_FALSE(rig.pamet.zobrazeno(42));
    for (int a = 28; a < 42; ++a)
        ASSERT_EQ(rig.pamet[a], rig.unit.memory()[static_cast<std::size_t>(a)]) << a;
    EXPECT_EQ(Addresses(rig.run()), (std::vector<int>{28, 42, 56, 70}));
    for (int a = 28; a < 84; ++a)
        ASSERT_EQ(rig.pamet[a], rig.unit.memory()[static_cast<std::size_t>(a)]) << a;
}

TEST(ReplyDecision, ALostReplyHoldsARestartBackForTheReplyWaitOnly) {
    LinkRig rig;
    SetHead(rig.unit.memory(), false, 0, 1);
    rig.link.UploadButtClick();
    ASSERT_TRUE(rig.takeRequest());  // its acknowledgement never comes

    rig.advance(rig.link.ReplyWait(FrameCode::CmdWriteBlock) - 1ms);
    rig.link.DownloadButtClick();
    rig.link.Tick();
    EXPECT_TRUE(rig.port.queued.empty());

    rig.advance(1ms);
    rig.link.Tick();
    EXPECT_EQ(Addresses(rig.run()), (std::vector<int>{28}));
    EXPECT_TRUE(rig.window.downloadFinished);
}

TEST(ReplyDecision, BurstsThatAreNotOneWholeReplyAreNeverActedUpon) {
    // A reply of 0x11 for the block asked for, followed by bytes that XOR to nothing: the
    // whole burst passes the checksum, but it is longer than the reply.
    const auto padded = [](std::size_t total) {
        Bytes b = BlockDataReply(Block(0x40));
        while (b.size() < total)
            b.push_back(0x5A);
        if ((total - 16) % 2 == 1)
            b.back() = 0x00;
        return b;
    };
    const struct {
        const char* name;
        Bytes burst;
    } cases[] = {
        // With the count taken modulo 256, 272 bytes would pass for the first 16.
        {"272 bytes", padded(272)},
        {"longer than RxBuffer", padded(1500)},
        {"the longest burst", padded(2048)},
        {"shorter than the reply", WithChecksum({0x11, 0x01, 0x02, 0x03})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(ChecksumOk(c.burst.data(), c.burst.size()));
        LinkRig rig;
        rig.link.DownloadButtClick();
        rig.port.take();
        rig.feed(c.burst);

        EXPECT_TRUE(ImageUntouched(rig.pamet));
        EXPECT_TRUE(rig.port.queued.empty());
        // Logged whole: "<- ", three characters a byte, the verdict.
        EXPECT_EQ(rig.window.log.back().size(), 3 + 3 * c.burst.size() + 8);
        const std::size_t kept = std::min(c.burst.size(), FrameBufferSize);
        EXPECT_TRUE(std::equal(c.burst.begin(), c.burst.begin() + static_cast<long>(kept),
                               rig.link.RxBuffer().begin()));
    }
}

TEST(ReplyDecision, ALastKeyQueryDuringADownloadFollowsItsEnd) {
    LinkRig rig;
    KeyTable source;
    FillKeys(source, 10);
    MemoryImage image;
    Keys2Mem(source, image);
    for (int a = 28; a < VelikostPameti; ++a)
        rig.unit.memory()[static_cast<std::size_t>(a)] = image[a];
    rig.unit.present(ID2Kod("0A1B2C3D4E5F60").Kod);

    rig.link.DownloadButtClick();
    ASSERT_TRUE(rig.answer());
    rig.link.btnSendCRClick();
    const std::vector<Request> served = rig.run();

    ASSERT_EQ(served.size(), 8u);  // blocks 42 .. 126, then the query
    EXPECT_EQ(served.back().code, FrameCode::CmdLastKey);
    EXPECT_TRUE(rig.window.downloadFinished);
    ASSERT_EQ(rig.klice.PocetKlicu, 11);
    for (int k = 1; k <= 10; ++k)
        EXPECT_EQ(rig.klice.klic(k).ID, source.klic(k).ID) << k;
    EXPECT_EQ(rig.klice.klic(11).ID, "0A1B2C3D4E5F60");
}

TEST(ReplyDecision, BurstsWhileThePortOpensAreOnlyLogged) {
    LinkRig rig;
    const Bytes early = LastKeyReply(ID2Kod("0A1B2C3D4E5F60").Kod);
    rig.port.whileOpening = [&] { rig.feed(early); };

    rig.link.btnSendCRClick();
    EXPECT_EQ(rig.klice.PocetKlicu, 0);
    EXPECT_EQ(rig.window.log.front(), "<- 13 0A 60 5F 4E 3D 2C 1B 9D : CRC OK");
    EXPECT_EQ(rig.port.take(), LastKeyRequest());

    rig.feed(early);  // now it answers the query
    EXPECT_EQ(rig.klice.PocetKlicu, 1);
}

}  // namespace
}  // namespace zak::test
