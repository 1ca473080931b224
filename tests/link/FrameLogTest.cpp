// Frames on the line, the traffic log, and the port opened by the first frame.
#include <gtest/gtest.h>

#include "LinkHarness.h"

namespace zak::test {
namespace {

struct SentCase {
    const char* name;
    void (ZakLink::*command)();
    Bytes bytes;
    std::string logLine;
};

TEST(FrameLog, EachCommandSendsItsFirstRequestWithChecksumAndLogsIt) {
    Bytes write{0x02, 0x00, 0x1C, 0x0E};
    write.insert(write.end(), 14, 0x00);
    write.push_back(0xEF);
    const SentCase cases[] = {
        {"download",
         &ZakLink::DownloadButtClick,
         {0x01, 0x00, 0x1C, 0x0E, 0xEC},
         "-> 01 00 1C 0E EC "},
        {"last key", &ZakLink::btnSendCRClick, {0x03, 0xFC}, "-> 03 FC "},
        {"upload", &ZakLink::UploadButtClick, write,
         "-> 02 00 1C 0E 00 00 00 00 00 00 00 00 00 00 00 00 00 00 EF "},
    };
    for (const SentCase& c : cases) {
        SCOPED_TRACE(c.name);
        LinkRig rig;
        (rig.link.*c.command)();
        EXPECT_EQ(rig.port.take(), c.bytes);
        ASSERT_EQ(rig.window.log.size(), 1u);
        EXPECT_EQ(rig.window.log.back(), c.logLine);
        // The request stays in TxBuffer as built, without the checksum.
        EXPECT_EQ(rig.link.TxBuffer()[c.bytes.size() - 1], 0x00);
    }
}

TEST(FrameLog, EveryBurstIsLoggedWholeWithItsVerdict) {
    const struct {
        Bytes burst;
        std::string line;
    } cases[] = {
        {{0x23, 0xDC}, "<- 23 DC : CRC OK"},
        {{0x10, 0xEF}, "<- 10 EF : CRC OK"},
        {{0x23, 0xDD}, "<- 23 DD : CRC ERROR!"},
        {{0x12, 0xED}, "<- 12 ED : CRC OK"},
        // A line-error report of the serial component arrives as a burst too.
        {{'C', 'o', 'm', 'm'}, "<- 43 6F 6D 6D : CRC ERROR!"},
    };
    for (const auto& c : cases) {
        LinkRig rig;
        rig.feed(c.burst);
        ASSERT_EQ(rig.window.log.size(), 1u);
        EXPECT_EQ(rig.window.log.back(), c.line);
    }
}

TEST(FrameLog, AFailedOpenSendsAndLogsNothingAndTheNextSendTriesAgain) {
    LinkRig rig;
    rig.port.open = FakePort::Open::Refuses;
    rig.link.DownloadButtClick();
    EXPECT_TRUE(rig.port.queued.empty());
    EXPECT_TRUE(rig.window.log.empty());

    rig.port.open = FakePort::Open::Works;
    rig.link.DownloadButtClick();
    EXPECT_TRUE(rig.port.isOpen);
    EXPECT_EQ(rig.port.take(), (Bytes{0x01, 0x00, 0x1C, 0x0E, 0xEC}));
}

TEST(FrameLog, APortErrorLeavesTheCommandsStateAndReachesTheCaller) {
    LinkRig rig;
    rig.feed(NoNewKeyReply());  // ReplyValid set by a good frame
    rig.window.log.clear();
    rig.window.messages.clear();
    rig.link.StopCommButtClick();
    rig.port.open = FakePort::Open::Throws;

    EXPECT_THROW(rig.link.DownloadButtClick(), std::runtime_error);
    EXPECT_EQ(rig.link.BlockAddr(), 28);
    EXPECT_FALSE(rig.link.StopRequest());
    EXPECT_TRUE(rig.link.ReplyValid());
    EXPECT_TRUE(rig.window.log.empty());
    EXPECT_TRUE(rig.port.queued.empty());

    // Nothing waits for a reply that was never asked for: the next command goes out at once.
    rig.port.open = FakePort::Open::Works;
    SetHead(rig.unit.memory(), false, 0, 1);
    rig.link.DownloadButtClick();
    EXPECT_FALSE(rig.link.ReplyValid());
    EXPECT_EQ(Addresses(rig.run()), (std::vector<int>{28}));
    EXPECT_TRUE(rig.window.downloadFinished);
}

}  // namespace
}  // namespace zak::test
