// Uploads: which blocks are written and what the unit's memory holds afterwards.
#include <gtest/gtest.h>

#include "LinkHarness.h"
#include "TransferRange.h"

namespace zak::test {
namespace {

struct UploadCase {
    const char* name;
    int keys;
    bool comments;
    int length;
    int blocks;
    int lastBlock;
};

void PrintTo(const UploadCase& c, std::ostream* os) {
    *os << c.name;
}

class Upload : public ::testing::TestWithParam<UploadCase> {};

TEST_P(Upload, WritesTheImageBlockByBlockUpToTheEnd) {
    const UploadCase& c = GetParam();
    LinkRig rig;
    FillPattern(rig.unit.memory());
    const sim::ZakUnit::Memory before = rig.unit.memory();
    FillKeys(rig.klice, c.keys);
    rig.klice.UkladatKomentare = c.comments;
    rig.klice.DelkaKomentare = static_cast<std::uint16_t>(c.length);
    Keys2Mem(rig.klice, rig.pamet);

    rig.link.UploadButtClick();
    const std::vector<Request> served = rig.run();

    ASSERT_EQ(static_cast<int>(served.size()), c.blocks);
    EXPECT_EQ(served.back().addr, c.lastBlock);
    EXPECT_EQ(rig.window.progressPos, 0);
    EXPECT_EQ(rig.window.progressMax, TransferEnd(rig.klice));
    const int writtenEnd = c.lastBlock + BlockLength;
    for (int a = 0; a < VelikostPameti; ++a) {
        const auto i = static_cast<std::size_t>(a);
        const std::uint8_t expected = (a >= 28 && a < writtenEnd) ? rig.pamet[a] : before[i];
        ASSERT_EQ(rig.unit.memory()[i], expected) << "address " << a;
    }
}

INSTANTIATE_TEST_SUITE_P(Tables, Upload,
                         ::testing::Values(
                             // An empty table still writes the head with key count 0.
                             UploadCase{"EmptyTable", 0, false, 30, 1, 28},
                             UploadCase{"ThreeKeysWithComments", 3, true, 10, 5, 84},
                             UploadCase{"EndInTheLastSixBytes", 1091, true, 20, 2339, 32754}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(UploadStop, AStopEndsTheUploadAtTheNextAcknowledgement) {
    LinkRig rig;
    FillPattern(rig.unit.memory());
    const sim::ZakUnit::Memory before = rig.unit.memory();
    FillKeys(rig.klice, 20);
    Keys2Mem(rig.klice, rig.pamet);

    rig.link.UploadButtClick();
    ASSERT_TRUE(rig.answer());
    rig.link.StopCommButtClick();
    ASSERT_TRUE(rig.answer());  // block 42, whose acknowledgement finds the stop

    EXPECT_TRUE(rig.port.queued.empty());
    EXPECT_FALSE(rig.link.StopRequest());
    EXPECT_EQ(rig.unit.memory()[55], rig.pamet[55]);
    EXPECT_EQ(rig.unit.memory()[56], before[56]);
}

}  // namespace
}  // namespace zak::test
