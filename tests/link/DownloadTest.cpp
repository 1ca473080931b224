// Downloads: which blocks are read, where their bytes land, and what the head sets.
#include <gtest/gtest.h>

#include "LinkHarness.h"
#include "TransferRange.h"

namespace zak::test {
namespace {

struct DownloadCase {
    const char* name;
    bool comments;
    int length;
    int headCount;
    int limit;
    int count;      // PocetKlicu afterwards
    int end;        // TransferEnd
    int blocks;     // blocks read
    int lastBlock;  // address of the last block read
};

void PrintTo(const DownloadCase& c, std::ostream* os) {
    *os << c.name;
}

class Download : public ::testing::TestWithParam<DownloadCase> {};

TEST_P(Download, ReadsTheBlocksUpToTheEndAndStoresEachAtItsAddress) {
    const DownloadCase& c = GetParam();
    LinkRig rig;
    FillPattern(rig.unit.memory());
    SetHead(rig.unit.memory(), c.comments, c.length, c.headCount);
    rig.klice.LimitNacitani = static_cast<std::uint16_t>(c.limit);

    rig.link.DownloadButtClick();
    const std::vector<Request> served = rig.run();

    ASSERT_EQ(static_cast<int>(served.size()), c.blocks);
    EXPECT_EQ(served.front().addr, 28);
    EXPECT_EQ(served.back().addr, c.lastBlock);
    for (const Request& r : served)
        ASSERT_LE(r.addr, LastBlockAddr);

    EXPECT_EQ(rig.klice.PocetKlicu, c.count);
    EXPECT_EQ(rig.klice.UkladatKomentare, c.comments);
    EXPECT_EQ(TransferEnd(rig.klice), c.end);
    EXPECT_TRUE(rig.window.downloadFinished);
    EXPECT_EQ(rig.window.progressMax, c.end);
    EXPECT_EQ(rig.window.progressPos, 0);

    // Every byte read is the unit's byte of the same address; nothing else was written.
    const int readEnd = c.lastBlock + BlockLength;
    for (int a = 0; a < VelikostPameti; ++a) {
        const bool read = a >= 28 && a < readEnd;
        ASSERT_EQ(rig.pamet.zobrazeno(a), read) << "address " << a;
        if (read) {
            ASSERT_EQ(rig.pamet[a], rig.unit.memory()[static_cast<std::size_t>(a)])
                << "address " << a;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Heads, Download,
    ::testing::Values(
        DownloadCase{"NoKeys", false, 0, 0, 2000, 0, 32, 1, 28},
        DownloadCase{"OneKey", false, 0, 1, 2000, 1, 42, 1, 28},
        DownloadCase{"TwoKeys", false, 0, 2, 2000, 2, 52, 2, 42},
        DownloadCase{"FullTable", false, 0, 2000, 2000, 2000, 20032, 1429, 20020},
        DownloadCase{"LoadLimitCuts150To100", false, 0, 150, 100, 100, 1032, 72, 1022},
        DownloadCase{"CommentCapacity818", true, 30, 818, 2000, 818, 32752, 2338, 32746},
        // The head length 0 means 30, as does anything above 50.
        DownloadCase{"LengthZeroIs30", true, 0, 1, 2000, 1, 72, 4, 70},
        DownloadCase{"HeadAbove2000", false, 0, 2500, 65535, 2000, 20032, 1429, 20020},
        DownloadCase{"HeadAboveCapacity", true, 30, 1000, 65535, 818, 32752, 2338, 32746},
        // 1091 keys with comments of 20 bytes end at 32762: the last block starts at 32754.
        DownloadCase{"EndInTheLastSixBytes", true, 20, 1091, 2000, 1091, 32762, 2339, 32754}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DownloadKeys, TheTableHoldsTheUnitsKeysAfterTheDownload) {
    KeyTable source;
    FillKeys(source, 7);
    source.UkladatKomentare = true;
    source.DelkaKomentare = 12;
    MemoryImage image;
    Keys2Mem(source, image);

    LinkRig rig;
    for (int a = 28; a < VelikostPameti; ++a)
        rig.unit.memory()[static_cast<std::size_t>(a)] = image[a];
    rig.link.DownloadButtClick();
    rig.run();

    ASSERT_EQ(rig.klice.PocetKlicu, 7);
    EXPECT_EQ(rig.klice.DelkaKomentare, 12);
    for (int k = 1; k <= 7; ++k) {
        EXPECT_EQ(rig.klice.klic(k).ID, source.klic(k).ID);
        EXPECT_EQ(rig.klice.klic(k).Kod, source.klic(k).Kod);
        EXPECT_EQ(rig.klice.klic(k).Patra, source.klic(k).Patra);
        EXPECT_EQ(rig.klice.klic(k).Komentar, (source.klic(k).Komentar + "      ").substr(0, 12));
    }
}

TEST(DownloadStop, AStopEndsTheDownloadAtTheNextReplyWithWhatWasRead) {
    LinkRig rig;
    FillPattern(rig.unit.memory());
    SetHead(rig.unit.memory(), false, 0, 100);
    rig.pamet.zapis(500, 0xEE);  // an earlier byte the download will not reach

    rig.link.DownloadButtClick();
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(rig.answer());
    rig.link.StopCommButtClick();
    const auto last = rig.answer();  // the reply that finds the stop
    ASSERT_TRUE(last);
    EXPECT_EQ(last->addr, 70);

    EXPECT_TRUE(rig.port.queued.empty());
    EXPECT_TRUE(rig.window.downloadFinished);
    EXPECT_FALSE(rig.link.StopRequest());
    EXPECT_EQ(rig.klice.PocetKlicu, 100);
    EXPECT_EQ(rig.pamet[500], 0xEE);
    EXPECT_FALSE(rig.pamet.zobrazeno(84));
    EXPECT_EQ(rig.window.progressPos, 0);
}

TEST(DownloadStop, AStopWhileIdleDoesNotShortenTheNextDownload) {
    LinkRig rig;
    FillPattern(rig.unit.memory());
    SetHead(rig.unit.memory(), false, 0, 10);
    rig.link.StopCommButtClick();
    EXPECT_TRUE(rig.link.StopRequest());

    rig.link.DownloadButtClick();
    EXPECT_EQ(rig.run().size(), 8u);  // 28 .. 126: TransferEnd 132
    EXPECT_EQ(rig.klice.PocetKlicu, 10);
}

}  // namespace
}  // namespace zak::test
