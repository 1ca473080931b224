#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "KeyListFile.h"
#include "TempFolder.h"

namespace zak {
namespace {

using namespace std::string_literals;
using test::readBytes;
using test::TempFolder;
using test::writeBytes;

std::unique_ptr<KeyTable> table() {
    return std::make_unique<KeyTable>();
}

TKlic key(const std::string& id, const std::string& comment, std::initializer_list<int> floors) {
    TKlic k;
    const IdAKod ik = ID2Kod(id);
    k.ID = id;
    k.Kod = ik.Kod;
    k.Komentar = comment;
    for (int f : floors)
        k.Patra[f - 1] = 1;
    return k;
}

std::unique_ptr<KeyTable> load(const std::string& fileText) {
    auto t = table();
    NactiSeznam(IniFile(fileText), *t);
    return t;
}

TKod bytes(std::initializer_list<int> b) {
    TKod k{};
    int i = 0;
    for (int v : b)
        k[i++] = static_cast<std::uint8_t>(v);
    return k;
}

TEST(KeyListLoad, HandWrittenFiles) {
    const std::string sections = "[Klic0001]\nID=0123456789abcd\n[Klic0002]\nKomentar=x\n";
    EXPECT_EQ(load("[Obecne]\nPocetKlicu=0x0A\n")->PocetKlicu, 10);
    EXPECT_EQ(load("[Obecne]\nPocetKlicu=abc\n" + sections)->PocetKlicu, 0);
    EXPECT_EQ(load(sections)->PocetKlicu, 0);
    EXPECT_EQ(load("[Obecne]\nPocetKlicu=-5\n" + sections)->PocetKlicu, 0);
    EXPECT_EQ(load("[Obecne]\nPocetKlicu=2500\n")->PocetKlicu, 2000);
    EXPECT_EQ(load("[Obecne]\nPocetKlicu=70000\n")->PocetKlicu, 2000);

    const auto oneOfTwo = load("[Obecne]\nPocetKlicu=1\n" + sections);
    EXPECT_EQ(oneOfTwo->PocetKlicu, 1);
    EXPECT_EQ(oneOfTwo->klic(2), TKlic{});
}

TEST(KeyListLoad, IdTextStaysAsWrittenAndBytesFollowThePairRule) {
    struct Case {
        const char* line;  // the ID line of key 1, or none
        const char* id;
        TKod kod;
    } cases[] = {
        {"", "00000000000000", bytes({})},
        {"ID=12AB\n", "12AB", bytes({0x12, 0xAB})},
        {"ID=0123456789abcd\n", "0123456789abcd",
         bytes({0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD})},
        {"ID=01234G6789ABCD\n", "01234G6789ABCD", bytes({0x01, 0x23, 0, 0x67, 0x89, 0xAB, 0xCD})},
        {"ID=\n", "", bytes({})},
        {"ID=0123456789ABCDEF99\n", "0123456789ABCDEF99",
         bytes({0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD})},
    };
    for (const Case& c : cases) {
        const auto t = load("[Obecne]\nPocetKlicu=1\n[Klic0001]\n"s + c.line);
        EXPECT_EQ(t->klic(1).ID, c.id) << c.line;
        EXPECT_EQ(t->klic(1).Kod, c.kod) << c.line;
    }
}

TEST(KeyListLoad, FloorFlagsAndMissingKeys) {
    const auto t = load(
        "[obecne]\npocetklicu=2\n"
        "[KLIC0001]\nPatro01=1\nPatro02=2\nPatro03=0x1\nPatro04=0\nPatro05=ano\n"
        "Patro24=1\nKomentar=  Kancelar \xE8. 5  \n");
    const TKlic& k = t->klic(1);
    EXPECT_EQ(k.Patra[0], 1);
    EXPECT_EQ(k.Patra[1], 1);
    EXPECT_EQ(k.Patra[2], 1);
    EXPECT_EQ(k.Patra[3], 0);
    EXPECT_EQ(k.Patra[4], 0);
    EXPECT_EQ(k.Patra[5], 0);
    EXPECT_EQ(k.Patra[23], 1);
    EXPECT_EQ(k.Komentar, "Kancelar \xE8. 5");
    // A count larger than the sections: the missing keys load blank with the default ID.
    EXPECT_EQ(t->klic(2).ID, "00000000000000");
    EXPECT_EQ(t->klic(2).Komentar, "");
    EXPECT_EQ(t->klic(2).Patra, (std::array<std::uint8_t, PocetPater>{}));
}

TEST(KeyListLoad, StartsFromResetTableAndSettings) {
    auto t = table();
    t->DelkaKomentare = 12;
    t->LimitNacitani = 5;
    t->UkladatKomentare = true;
    t->PocetKlicu = 3;
    t->klic(3) = key("AB", "old", {1});
    t->klic(1500) = key("CD", "above the count", {2});
    EXPECT_EQ(NactiSeznam(IniFile("[Obecne]\nPocetKlicu=1\n"), *t), 1);
    EXPECT_EQ(t->DelkaKomentare, 30);
    EXPECT_EQ(t->LimitNacitani, 2000);
    EXPECT_FALSE(t->UkladatKomentare);
    EXPECT_EQ(t->klic(3), TKlic{});
    EXPECT_EQ(t->klic(1500), TKlic{});
}

class KeyListFile : public testing::Test {
  protected:
    TempFolder folder;
    const std::string path = folder.file("seznam.ZAK");
};

TEST_F(KeyListFile, SavesTheFormatInOrder) {
    auto t = table();
    ASSERT_EQ(UlozSeznamKlicu(path, *t), std::nullopt);
    EXPECT_EQ(readBytes(path), "[Obecne]\r\nPocetKlicu=0\r\n");
    EXPECT_EQ(NactiSeznamKlicu(path, *t), 0);

    t->PocetKlicu = 1;
    t->klic(1) = key("0A1B2C3D4E5F60", "", {3, 24});
    ASSERT_EQ(UlozSeznamKlicu(path, *t), std::nullopt);
    std::string expected =
        "[Obecne]\r\nPocetKlicu=1\r\n[Klic0001]\r\nID=0A1B2C3D4E5F60\r\nKomentar=\r\n";
    for (int p = 1; p <= 24; ++p) {
        expected += "Patro" + std::string(p < 10 ? "0" : "") + std::to_string(p) + "=" +
                    (p == 3 || p == 24 ? "1" : "0") + "\r\n";
    }
    EXPECT_EQ(readBytes(path), expected);
}

TEST_F(KeyListFile, SaveThenLoadReproducesEveryKey) {
    auto t = table();
    t->PocetKlicu = MaxKlicu;
    for (int k = 1; k <= MaxKlicu; ++k) {
        char id[16];
        std::snprintf(id, sizeof id, "%014X", k * 7919);
        t->klic(k) = key(id, "Klic \x9A\xE8\xF8 " + std::to_string(k), {k % 24 + 1, 24});
    }
    t->klic(1) = key("", "", {});
    t->klic(2) = key("12ab", "\"VIP\"", {1, 2, 3});
    t->klic(3) = key("01234G6789ABCD", "  blanks around  ", {});
    t->klic(4) = key("00", std::string(2047, '#'), {});

    ASSERT_EQ(UlozSeznamKlicu(path, *t), std::nullopt);
    auto loaded = table();
    EXPECT_EQ(NactiSeznamKlicu(path, *loaded), MaxKlicu);

    t->klic(3).Komentar = "blanks around";  // the one thing a key list file does not keep
    for (int k = 1; k <= MaxKlicu; ++k)
        ASSERT_EQ(loaded->klic(k), t->klic(k)) << "key " << k;
}

TEST_F(KeyListFile, SavingFewerKeysKeepsTheRestOfTheFile) {
    auto t = table();
    t->PocetKlicu = 5;
    for (int k = 1; k <= 5; ++k)
        t->klic(k) = key("0" + std::to_string(k), "five", {k});
    ASSERT_EQ(UlozSeznamKlicu(path, *t), std::nullopt);
    writeBytes(path, "; written by hand\r\n" + readBytes(path) + "[Extra]\r\nA=1\r\n");

    t->PocetKlicu = 3;
    t->klic(1).Komentar = "three";
    ASSERT_EQ(UlozSeznamKlicu(path, *t), std::nullopt);
    const std::string text = readBytes(path);
    EXPECT_EQ(text.rfind("; written by hand\r\n[Obecne]\r\nPocetKlicu=3\r\n", 0), 0u);
    EXPECT_NE(text.find("[Klic0005]\r\nID=05\r\nKomentar=five\r\n"), std::string::npos);
    EXPECT_NE(text.find("[Extra]\r\nA=1\r\n"), std::string::npos);

    auto loaded = table();
    EXPECT_EQ(NactiSeznamKlicu(path, *loaded), 3);
    EXPECT_EQ(loaded->klic(1).Komentar, "three");
    EXPECT_EQ(loaded->klic(4), TKlic{});
}

// A file saved by an editor as UTF-8 starts with a byte order mark.
TEST_F(KeyListFile, ByteOrderMarkIsSkippedAndKept) {
    const std::string mark = "\xEF\xBB\xBF";
    writeBytes(path, mark +
                         "[Obecne]\r\nPocetKlicu=2\r\n[Klic0001]\r\nID=0A0B0C0D0E0F10\r\n"
                         "Komentar=first\r\nPatro05=1\r\n[Klic0002]\r\nID=22\r\n");
    auto t = table();
    ASSERT_EQ(NactiSeznamKlicu(path, *t), 2);
    EXPECT_EQ(t->klic(1), key("0A0B0C0D0E0F10", "first", {5}));
    EXPECT_EQ(t->klic(2).ID, "22");

    t->klic(2).Komentar = "second";
    ASSERT_EQ(UlozSeznamKlicu(path, *t), std::nullopt);
    const std::string text = readBytes(path);
    EXPECT_EQ(text.rfind(mark + "[Obecne]\r\nPocetKlicu=2\r\n[Klic0001]\r\n", 0), 0u);
    EXPECT_EQ(text.find("[Obecne]", mark.size() + 1), std::string::npos);
    auto loaded = table();
    ASSERT_EQ(NactiSeznamKlicu(path, *loaded), 2);
    EXPECT_EQ(loaded->klic(1), t->klic(1));
    EXPECT_EQ(loaded->klic(2), t->klic(2));
}

TEST_F(KeyListFile, LineEndsInACommentPlantNoKey) {
    auto t = table();
    t->PocetKlicu = 2;
    t->klic(1) = key("01", "x\r\nPatro01=1\r\n[Klic0002]\r\nPatro24=1", {});
    t->klic(2) = key("02", "a\0b\rc\nd"s, {});
    ASSERT_EQ(UlozSeznamKlicu(path, *t), std::nullopt);

    auto loaded = table();
    ASSERT_EQ(NactiSeznamKlicu(path, *loaded), 2);
    EXPECT_EQ(loaded->klic(1).Komentar, "x  Patro01=1  [Klic0002]  Patro24=1");
    EXPECT_EQ(loaded->klic(2).Komentar, "a b c d");
    EXPECT_EQ(loaded->klic(1).Patra, t->klic(1).Patra);
    EXPECT_EQ(loaded->klic(2).Patra, t->klic(2).Patra);
}

class FailedSave : public KeyListFile {
  protected:
    void SetUp() override {
        old->PocetKlicu = 1;
        old->klic(1) = key("0102", "old", {1});
        ASSERT_EQ(UlozSeznamKlicu(path, *old), std::nullopt);
        oldBytes = readBytes(path);
        changed->PocetKlicu = 300;
        for (int k = 1; k <= 300; ++k)
            changed->klic(k) = key("FF", "new", {2});
    }
    // The folder holds the old file alone, byte for byte.
    void expectOldFileWhole() {
        EXPECT_EQ(readBytes(path), oldBytes);
        int files = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder.path()))
            ++files;
        EXPECT_EQ(files, 1);
    }
    std::unique_ptr<KeyTable> old = table();
    std::unique_ptr<KeyTable> changed = table();
    std::string oldBytes;
};

TEST_F(FailedSave, WriteProtectedFileIsRefused) {
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    EXPECT_EQ(UlozSeznamKlicu(path, *changed), "Unable to write to " + path);
    expectOldFileWhole();
}

TEST_F(FailedSave, MissingFolder) {
    const std::string elsewhere = folder.file("missing/seznam.ZAK");
    EXPECT_EQ(UlozSeznamKlicu(elsewhere, *changed), "Unable to write to " + elsewhere);
    expectOldFileWhole();
}

TEST_F(FailedSave, FullDiskLeavesTheOldFileWhole) {
    // A file size limit fails the write the way a full disk does.
    const auto oldSignal = signal(SIGXFSZ, SIG_IGN);
    rlimit oldLimit{};
    getrlimit(RLIMIT_FSIZE, &oldLimit);
    rlimit small = oldLimit;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto result = UlozSeznamKlicu(path, *changed);
    setrlimit(RLIMIT_FSIZE, &oldLimit);
    signal(SIGXFSZ, oldSignal);

    EXPECT_EQ(result, "Unable to write to " + path);
    expectOldFileWhole();
}

TEST_F(KeyListFile, ReplacedFileKeepsPermissionsAndLinks) {
    auto t = table();
    ASSERT_EQ(UlozSeznamKlicu(path, *t), std::nullopt);
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    const std::string link = folder.file("odkaz.ZAK");
    ASSERT_EQ(symlink(path.c_str(), link.c_str()), 0);

    t->PocetKlicu = 1;
    ASSERT_EQ(UlozSeznamKlicu(link, *t), std::nullopt);
    struct stat st {};
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_NE(readBytes(path).find("[Klic0001]"), std::string::npos);
}

TEST_F(KeyListFile, LoadingWhatCannotBeReadGivesAnEmptyTable) {
    ASSERT_EQ(mkfifo(folder.file("pipe").c_str(), 0600), 0);
    const std::string big = folder.file("big.ZAK");
    writeBytes(big, "[Obecne]\r\nPocetKlicu=1\r\n");
    ASSERT_EQ(truncate(big.c_str(), MaxVelikostSouboru + 1), 0);

    for (const std::string& name :
         {folder.file("none.ZAK"), folder.path().string(), folder.file("pipe"), big}) {
        auto t = table();
        t->PocetKlicu = 2;
        EXPECT_EQ(NactiSeznamKlicu(name, *t), 0) << name;
        EXPECT_EQ(t->PocetKlicu, 0) << name;
    }
}

}  // namespace
}  // namespace zak
