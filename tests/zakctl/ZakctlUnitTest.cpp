// zakctl against zak-sim on a pseudo-terminal: each command's main path, and the line's faults.
#include <sys/file.h>

#include <fcntl.h>
#include <signal.h>

#include <thread>

#include "ZakctlFixture.h"

namespace zak::test {
namespace {

// The sample list as a unit storing comments of `length` bytes holds it.
std::unique_ptr<KeyTable> SampleAsStored(bool comments, int length) {
    auto keys = std::make_unique<KeyTable>();
    NactiSeznamKlicu(Sample, *keys);
    keys->UkladatKomentare = comments;
    keys->DelkaKomentare = static_cast<std::uint16_t>(length);
    return keys;
}

std::string ImageOf(const KeyTable& keys) {
    MemoryImage image;
    Keys2Mem(keys, image);
    return std::string(reinterpret_cast<const char*>(image.data()), VelikostPameti);
}

void ExpectSameKeys(const KeyTable& expected, const KeyTable& got) {
    ASSERT_EQ(got.PocetKlicu, expected.PocetKlicu);
    for (int n = 1; n <= expected.PocetKlicu; ++n) {
        EXPECT_EQ(got.klic(n).Kod, expected.klic(n).Kod) << "key " << n;
        EXPECT_EQ(got.klic(n).Patra, expected.klic(n).Patra) << "key " << n;
    }
}

TEST_F(ZakctlTest, ReadWritesTheKeyListAndTheImageAsTheUnitHoldsThem) {
    StartUnit({"--keys", Sample, "--comments", "--comment-length", "10"});
    const Outcome r =
        Ctl({"read", "--port", port, "-o", dir.file("unit.ZAK"), "--image", dir.file("unit.bin")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "read 5 keys (comments of 10 bytes)")) << r.out;
    EXPECT_EQ(r.err, "");  // no progress bar into a pipe

    const auto stored = SampleAsStored(true, 10);
    EXPECT_EQ(readBytes(dir.file("unit.bin")), ImageOf(*stored));
    const auto read = Load(dir.file("unit.ZAK"));
    ExpectSameKeys(*stored, *read);
    // The unit's comments, byte for byte (the key list file drops the blanks that fill them).
    EXPECT_EQ(read->klic(1).Komentar, stored->klic(1).Komentar);
}

TEST_F(ZakctlTest, AProgressBarIsDrawnOnlyOnATerminalAndNotWithQuiet) {
    StartUnit({"--keys", Sample});
    const std::vector<std::string> read = {
        Zakctl, "read", "--port",          port,           "--gap",
        "20",   "-o",   dir.file("u.ZAK"), "--turnaround", TestTurnaround};
    const Outcome shown = RunProgram(read, {}, true);
    EXPECT_EQ(shown.status, 0) << shown.err;
    EXPECT_TRUE(Contains(shown.err, "\rread  [########################] 4/4 blocks")) << shown.err;

    std::vector<std::string> quiet = read;
    quiet.push_back("--quiet");
    const Outcome hidden = RunProgram(quiet, {}, true);
    EXPECT_EQ(hidden.status, 0);
    EXPECT_EQ(hidden.err, "");
}

TEST_F(ZakctlTest, InfoReadsOnlyTheHeadAndLeavesThePresentedKeyToLastKey) {
    StartUnit(
        {"--keys", Sample, "--comments", "--comment-length", "10", "-c", "present 0A1B2C3D4E5F61"});
    const Outcome info = Ctl({"info", "--port", port, "--json", "--log", dir.file("info.log")});
    ASSERT_EQ(info.status, 0) << info.err;
    for (const char* field : {"\"keys\": 5", "\"comments\": true", "\"comment_length\": 10",
                              "\"transfer_end\": 132", "\"blocks\": 8"}) {
        EXPECT_TRUE(Contains(info.out, field)) << field << " in " << info.out;
    }
    EXPECT_EQ(readBytes(dir.file("info.log")),
              "-> 01 00 1C 0E EC \n<- 11 AA 0A 00 05 0A 60 5F 4E 3D 2C 1B 01 00 00 3B : CRC OK\n");

    const Outcome key = Ctl({"last-key", "--port", port});
    EXPECT_EQ(key.status, 0) << key.err;
    EXPECT_EQ(key.out, "0A1B2C3D4E5F61\n");
}

TEST_F(ZakctlTest, WriteBacksTheUnitUpThenWritesAndReadsBack) {
    StartUnit({"--keys", Sample});
    auto changed = SampleAsStored(false, 30);
    changed->klic(2).Patra[5] = 1;
    const int added = PridejKlic(*changed);
    changed->klic(added) = changed->klic(1);
    changed->klic(added).Kod[6] = 0x77;
    changed->klic(added).ID = Kod2ID(changed->klic(added).Kod);
    ASSERT_FALSE(UlozSeznamKlicu(dir.file("new.ZAK"), *changed));

    const Outcome r = Ctl({"write", "--port", port, dir.file("new.ZAK"), "--backup",
                           dir.file("backup.ZAK"), "--log", dir.file("write.log")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "read back and found equal")) << r.out;

    // The backup holds what the unit held before.
    ExpectSameKeys(*SampleAsStored(false, 30), *Load(dir.file("backup.ZAK")));
    // The unit holds the new list from the head to the transfer end (32 + 6 keys * 10).
    EXPECT_EQ(UnitMemory().substr(28, 64), ImageOf(*changed).substr(28, 64));
    // Backup read, then upload, then the read-back of the written blocks.
    const std::string log = readBytes(dir.file("write.log"));
    EXPECT_LT(log.find("-> 01 00 1C"), log.find("-> 02 00 1C"));
    EXPECT_LT(log.find("-> 02 00 1C"), log.rfind("-> 01 00 1C"));

    const Outcome verify = Ctl({"verify", "--port", port, dir.file("new.ZAK")});
    EXPECT_EQ(verify.status, 0) << verify.out << verify.err;
    const Outcome diff = Ctl({"diff", "unit:" + port, dir.file("new.ZAK")});
    EXPECT_EQ(diff.status, 0) << diff.out << diff.err;
}

TEST_F(ZakctlTest, TheReadBackCatchesAByteTheUnitStoredWrongly) {
    // The unit acknowledges the block 56..69 but stores its byte 60, a floor byte of key 3,
    // inverted.
    StartUnit({"--keys", Sample, "-c", "wrong-byte 60"});
    const auto keys = SampleAsStored(false, 30);
    const auto written = static_cast<unsigned char>(ImageOf(*keys)[60]);
    const Outcome r = Ctl({"write", "--port", port, Sample, "--no-backup"});
    EXPECT_EQ(r.status, 1);
    char line[96];
    std::snprintf(line, sizeof line,
                  "0x003C (the floors of key 3): wrote %02X, the unit holds %02X\n", written,
                  written ^ 0xFF);
    EXPECT_EQ(r.out, line);
    EXPECT_TRUE(Contains(r.err, "the unit does not hold what was written: 1 bytes differ"))
        << r.err;

    const Outcome verify = Ctl({"verify", "--port", port, Sample});
    EXPECT_EQ(verify.status, 1);
    EXPECT_TRUE(Contains(verify.out, "other floors: key 3 ")) << verify.out;
}

TEST_F(ZakctlTest, VerifyAndDiffNameTheKeysAUnitHoldsWrongly) {
    // The unit holds the sample with one wrong byte: the first floor byte of key 3.
    auto keys = SampleAsStored(false, 30);
    std::string image = ImageOf(*keys);
    image[32 + 2 * 10 + 7] ^= 0x04;
    writeBytes(dir.file("wrong.bin"), image);
    StartUnit({"--image", dir.file("wrong.bin")});

    const Outcome verify = Ctl({"verify", "--port", port, Sample});
    EXPECT_EQ(verify.status, 1);
    const std::string id = Kod2ID(keys->klic(3).Kod);
    EXPECT_EQ(verify.out.rfind("other floors: key 3 " + id + " in the file: ", 0), 0u)
        << verify.out;
    EXPECT_EQ(std::count(verify.out.begin(), verify.out.end(), '\n'), 1) << verify.out;

    const Outcome diff = Ctl({"diff", Sample, "unit:" + port, "--json"});
    EXPECT_EQ(diff.status, 1);
    EXPECT_TRUE(Contains(diff.out, "\"same\": false")) << diff.out;
    EXPECT_TRUE(Contains(
        diff.out, "{\"kind\": \"other-floors\", \"a\": {\"number\": 3, \"id\": \"" + id + "\""))
        << diff.out;
}

TEST_F(ZakctlTest, LastKeyReportsFindsOrAddsThePresentedKey) {
    StartUnit({"--keys", Sample});
    ASSERT_TRUE(UlozSeznamKlicu(dir.file("list.ZAK"), *SampleAsStored(false, 30)) == std::nullopt);
    const std::string before = readBytes(dir.file("list.ZAK"));

    const Outcome none = Ctl({"last-key", "--port", port, "--add-to", dir.file("list.ZAK")});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "no key was newly presented\n");

    EXPECT_EQ(unit->command("present 0A1B2C3D4E5F60"), "ok");
    const Outcome found = Ctl({"last-key", "--port", port, "--add-to", dir.file("list.ZAK")});
    EXPECT_EQ(found.status, 0) << found.err;
    EXPECT_EQ(found.out, "0A1B2C3D4E5F60 found in " + dir.file("list.ZAK") + " as key 1\n");
    EXPECT_EQ(readBytes(dir.file("list.ZAK")), before);

    EXPECT_EQ(unit->command("present 99887766554433"), "ok");
    const Outcome added = Ctl({"last-key", "--port", port, "--add-to", dir.file("list.ZAK")});
    EXPECT_EQ(added.status, 0) << added.err;
    const auto list = Load(dir.file("list.ZAK"));
    ASSERT_EQ(list->PocetKlicu, 6);
    EXPECT_EQ(list->klic(6).ID, "99887766554433");
    EXPECT_EQ(list->klic(6).Komentar, "Novy klic c.6");
    EXPECT_EQ(list->klic(6).Patra, (std::array<std::uint8_t, PocetPater>{}));
}

TEST_F(ZakctlTest, ALostLastKeyReplyIsNotReportedAsNoNewKey) {
    // The unit reports the key and forgets it, but its reply is lost: asked again, it says
    // that no key was presented, which is not true.
    StartUnit({"--keys", Sample, "-c", "present 0A1B2C3D4E5F61", "-c", "at 1 drop"});
    const Outcome r = Ctl({"last-key", "--port", port});
    EXPECT_EQ(r.status, 4);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(Contains(r.err, "present it again")) << r.err;
}

TEST_F(ZakctlTest, ABlockIsAskedAgainAfterADroppedAndADamagedReply) {
    // Request 2 (block 42) gets no reply, its second try a damaged one, the third goes through.
    StartUnit({"--keys", Sample, "-c", "at 2 drop", "-c", "at 3 corrupt"});
    const Outcome r =
        Ctl({"read", "--port", port, "-o", dir.file("unit.ZAK"), "--log", dir.file("read.log")});
    ASSERT_EQ(r.status, 0) << r.err;
    ExpectSameKeys(*SampleAsStored(false, 30), *Load(dir.file("unit.ZAK")));
    const std::string log = readBytes(dir.file("read.log"));
    EXPECT_TRUE(
        Contains(log, "# the read of block 42 (0x002A): no reply; asked again (try 2 of 4)"))
        << log;
    EXPECT_TRUE(
        Contains(log, "# the read of block 42 (0x002A): a damaged reply; asked again (try 3 of 4)"))
        << log;
}

TEST_F(ZakctlTest, AUnitThatStaysSilentEndsWithTheBlockNamedAndNoFile) {
    StartUnit({"--keys", Sample, "-c", "at 2 drop", "-c", "at 3 drop"});
    const Outcome r = Ctl({"read", "--port", port, "--retries", "1", "-o", dir.file("unit.ZAK")});
    EXPECT_EQ(r.status, 4);
    EXPECT_TRUE(Contains(r.err, "did not answer the read of block 42 (0x002A)")) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("unit.ZAK")));
}

TEST_F(ZakctlTest, APortThatVanishesMidTransferLeavesTheOutputFileAlone) {
    StartUnit({"--keys", Sample, "-c", "at 2 drop"});
    writeBytes(dir.file("unit.ZAK"), "the older backup");
    Outcome r;
    std::thread transfer([&] {
        r = Ctl(
            {"read", "--port", port, "-o", dir.file("unit.ZAK"), "--log", dir.file("read.log")});
    });
    // The unit goes away while the reply to block 42 is awaited.
    while (!Contains(readBytes(dir.file("read.log")), "-> 01 00 2A"))
        std::this_thread::yield();
    unit.reset();
    transfer.join();
    EXPECT_EQ(r.status, 3);
    EXPECT_TRUE(Contains(r.err, "stopped working during the transfer")) << r.err;
    EXPECT_EQ(readBytes(dir.file("unit.ZAK")), "the older backup");
}

TEST_F(ZakctlTest, FastTakesAWholeReplyAtOnceAndNeverOneThatBelongsToAnotherBlock) {
    // A unit paced as a 2400 Bd line. Block 42 is answered twice in a row: the first copy ends
    // early and is taken; the second comes while block 56 is awaited and, repeating the block
    // before, is held back. Block 56 then gets a reply of another code (which drops the held
    // copy), one split by a pause and a damaged one: each ends by the silence rule, is not
    // acted upon, and the block is asked again.
    StartUnit({"--keys", Sample, "--baud", "2400", "-c", "at 2 double", "-c", "at 3 code 13", "-c",
               "at 4 split 60", "-c", "at 5 corrupt"});
    const Outcome r = Ctl({"read", "--port", port, "--fast", "-o", dir.file("unit.ZAK"), "--log",
                           dir.file("read.log")});
    ASSERT_EQ(r.status, 0) << r.err;
    ExpectSameKeys(*SampleAsStored(false, 30), *Load(dir.file("unit.ZAK")));
    const std::string log = readBytes(dir.file("read.log"));
    for (const char* note : {"# not acted upon: a reply that repeats the block before",
                             "# not acted upon: a reply of another code",

                             "# not acted upon: a damaged reply", "(try 4 of 4)"}) {
        EXPECT_TRUE(Contains(log, note)) << note << " in\n" << log;
    }
}

TEST_F(ZakctlTest, FastReadsThroughNoiseAndARepeatedReply) {
    // Noise in front of the reply to block 42, in a burst of its own; block 56's reply comes
    // twice with a pause between. Neither costs a block asked again.
    StartUnit(
        {"--keys", Sample, "--baud", "2400", "-c", "at 2 noise-before 60", "-c", "at 3 twice 60"});
    const Outcome r = Ctl({"read", "--port", port, "--fast", "-o", dir.file("unit.ZAK"), "--log",
                           dir.file("read.log")});
    ASSERT_EQ(r.status, 0) << r.err;
    ExpectSameKeys(*SampleAsStored(false, 30), *Load(dir.file("unit.ZAK")));
    const std::string log = readBytes(dir.file("read.log"));
    EXPECT_TRUE(Contains(log, "# not acted upon: a reply that repeats the block before")) << log;
    EXPECT_FALSE(Contains(log, "asked again")) << log;
}

TEST_F(ZakctlTest, RepliesToEarlierTriesNeverLandOnTheNextBlock) {
    // The unit answers the first read of block 42 so late that the block has been asked four
    // more times; then the five answers come one after the other, each a whole reply.
    StartUnit({"--keys", Sample, "--baud", "2400", "-c", "at 2 delay 1200"});
    const Outcome r = Ctl({"read", "--port", port, "--fast", "--retries", "8", "-o",
                           dir.file("unit.ZAK"), "--log", dir.file("read.log")});
    ASSERT_EQ(r.status, 0) << r.err;
    ExpectSameKeys(*SampleAsStored(false, 30), *Load(dir.file("unit.ZAK")));
    EXPECT_TRUE(Contains(readBytes(dir.file("read.log")),
                         "# not acted upon: after the answer to a request asked again"));
}

TEST_F(ZakctlTest, RandomFaultsNeverPutAByteAtTheWrongAddress) {
    // A unit of 30 keys whose replies get a random fault (every kind zak-sim has, a reply
    // later than the tool waits included) one time in eight, read with --fast and written with
    // its read-back: each either ends well with exactly the right contents, or gives up.
    auto keys = std::make_unique<KeyTable>();
    for (int n = 1; n <= 30; ++n) {
        const int k = PridejKlic(*keys);
        keys->klic(k).Kod = TKod{0x0A, 0x1B, static_cast<std::uint8_t>(n),
                                 0x3D, 0x4E, static_cast<std::uint8_t>(n * 7),
                                 0x60};
        keys->klic(k).ID = Kod2ID(keys->klic(k).Kod);
        keys->klic(k).Patra[static_cast<std::size_t>(n % 24)] = 1;
    }
    ASSERT_FALSE(UlozSeznamKlicu(dir.file("keys.ZAK"), *keys));
    StartUnit({"--keys", dir.file("keys.ZAK"), "-c", "random 12 7"});

    const Outcome read =
        Ctl({"read", "--port", port, "--fast", "--retries", "12", "-o", dir.file("read.ZAK")});
    ASSERT_EQ(read.status, 0) << read.err;
    ExpectSameKeys(*keys, *Load(dir.file("read.ZAK")));

    keys->klic(5).Patra.fill(1);
    ASSERT_FALSE(UlozSeznamKlicu(dir.file("changed.ZAK"), *keys));
    const Outcome write =
        Ctl({"write", "--port", port, dir.file("changed.ZAK"), "--no-backup", "--retries", "12"});
    ASSERT_EQ(write.status, 0) << write.out << write.err;
    EXPECT_EQ(unit->command("random 0"), "ok");
    int requests = 0, faults = 0;
    ASSERT_EQ(
        std::sscanf(unit->command("stats").c_str(), "requests %d faults %d", &requests, &faults),
        2);
    EXPECT_GT(faults, 0);  // the run above met faults
    const std::string memory = UnitMemory();
    EXPECT_EQ(memory.substr(28, 304), ImageOf(*keys).substr(28, 304));
}

TEST_F(ZakctlTest, APortHeldByAnotherProgramIsListedBusyAndNotOpened) {
    StartUnit({"--keys", Sample});
    const int held = ::open(port.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    const std::string com3 = "ZAK_COM3=" + port;

    const Outcome ports = RunProgram({Zakctl, "ports", "--json"}, {com3});
    EXPECT_EQ(ports.status, 0);
    EXPECT_TRUE(Contains(ports.out, "{\"name\": \"COM3\", \"device\": \"" + port +
                                        "\", \"kind\": \"com\", \"present\": true, "
                                        "\"busy\": \"held by process " +
                                        std::to_string(::getpid())))
        << ports.out;

    const Outcome info = RunProgram({Zakctl, "info", "--port", "COM3"}, {com3});
    EXPECT_EQ(info.status, 3);
    EXPECT_TRUE(Contains(info.err, "cannot open the port COM3 (" + port + ")")) << info.err;
    ::close(held);
}

}  // namespace
}  // namespace zak::test
