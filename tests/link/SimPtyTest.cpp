// zak-sim over its pseudo-terminal, as the tool meets it.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "SimProcess.h"

namespace zak::test {
namespace {

const std::string Sim = ZAK_SIM_PATH;
const std::string SampleKeys = ZAK_SIM_SAMPLE;

BlockData Block(const Bytes& reply) {
    BlockData d{};
    std::copy(reply.begin() + 1, reply.begin() + 15, d.begin());
    return d;
}

TEST(SimPty, NamesItsTerminalAndAnswersReadsWritesAndTheLastKey) {
    SimProcess sim({Sim, "--keys", SampleKeys, "--comments", "--comment-length", "10"});
    ASSERT_EQ(sim.firstLine().rfind("ZAK_COM1=/dev/", 0), 0u) << sim.firstLine();
    sim.openLine();

    // The sample's head and first key record: 0A1B2C3D4E5F60, floor 1.
    sim.send(ReadBlockRequest(28));
    const Bytes head = sim.receive(16);
    ASSERT_EQ(head.size(), 16u);
    EXPECT_TRUE(ChecksumOk(head.data(), head.size()));
    EXPECT_EQ(Block(head), (BlockData{0xAA, 0x0A, 0x00, 0x05, 0x0A, 0x60, 0x5F, 0x4E, 0x3D, 0x2C,
                                      0x1B, 0x01, 0x00, 0x00}));

    BlockData data{};
    data.fill(0x5C);
    sim.send(WriteBlockRequest(0x1000, data));
    EXPECT_EQ(sim.receive(2), WriteAckReply());
    EXPECT_EQ(sim.command("peek 0x0FFF 3"), "00 5C 5C");

    sim.send(LastKeyRequest());
    EXPECT_EQ(sim.receive(2), NoNewKeyReply());
    EXPECT_EQ(sim.command("present 0A1B2C3D4E5F60"), "ok");
    sim.send(LastKeyRequest());
    EXPECT_EQ(sim.receive(9), (Bytes{0x13, 0x0A, 0x60, 0x5F, 0x4E, 0x3D, 0x2C, 0x1B, 0x9D}));
}

TEST(SimPty, IgnoresNoiseAndAppliesFaultsGivenOnTheCommandLine) {
    SimProcess sim({Sim, "-c", "corrupt", "-c", "double"});
    sim.openLine();

    Bytes noisy{0x55, 0x99, 0x42};
    const Bytes read = ReadBlockRequest(28);
    noisy.insert(noisy.end(), read.begin(), read.end());
    sim.send(noisy);
    const Bytes corrupt = sim.receive(16);
    ASSERT_EQ(corrupt.size(), 16u);
    EXPECT_FALSE(ChecksumOk(corrupt.data(), corrupt.size()));

    sim.send(LastKeyRequest());
    EXPECT_EQ(sim.receive(4), (Bytes{0x23, 0xDC, 0x23, 0xDC}));
}

// A reply waiting out its delay keeps the unit from nothing: commands are answered and the
// next request is taken meanwhile (and answered in turn).
TEST(SimPty, ADelayedReplyDoesNotStopTheUnitFromReading) {
    SimProcess sim({Sim, "--keys", SampleKeys, "-c", "at 1 delay 60000"});
    sim.openLine();
    sim.send(ReadBlockRequest(28));
    EXPECT_EQ(sim.command("peek 30 2"), "00 05");
    sim.send(LastKeyRequest());
    EXPECT_EQ(sim.command("stats"), "requests 2 faults 1");
}

TEST(SimPty, WritesItsMemoryToAFileWhenItEnds) {
    char image[] = "/tmp/zak-sim-image-XXXXXX";
    const int fd = ::mkstemp(image);
    ASSERT_GE(fd, 0);
    ::close(fd);
    {
        std::ofstream out(image, std::ios::binary);
        out << "ZAK";
    }
    const std::string dump = std::string(image) + ".dump";
    SimProcess sim({Sim, "--image", image, "--dump-on-exit", dump});
    sim.openLine();
    BlockData data{};
    data.fill(0x77);
    sim.send(WriteBlockRequest(32754, data));
    ASSERT_EQ(sim.receive(2), WriteAckReply());
    EXPECT_EQ(sim.command("quit"), "ok");
    EXPECT_EQ(sim.wait(), 0);

    std::ifstream in(dump, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    ASSERT_EQ(bytes.size(), 32768u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("ZAK\0", 4));
    EXPECT_EQ(bytes.substr(32753), std::string(1, '\0') + std::string(14, '\x77'));
    std::remove(image);
    std::remove(dump.c_str());
}

}  // namespace
}  // namespace zak::test
