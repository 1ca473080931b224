#include <gtest/gtest.h>

#include <vector>

#include "KeyConversion.h"

namespace zak {
namespace {

std::vector<int> bajty(const MemoryImage& m, int od, int pocet) {
    std::vector<int> v;
    for (int a = od; a < od + pocet; ++a)
        v.push_back(m[a]);
    return v;
}

TKlic klic(const std::string& id, std::initializer_list<int> patra, std::string komentar = {}) {
    TKlic k;
    const IdAKod r = ID2Kod(id);
    k.ID = r.ID;
    k.Kod = r.Kod;
    for (int p : patra)
        k.Patra[static_cast<std::size_t>(p - 1)] = 1;
    k.Komentar = std::move(komentar);
    return k;
}

TEST(Keys2Mem, HeaderOfAnEmptyTable) {
    struct Case {
        bool komentare;
        std::vector<int> hlavicka;
    };
    for (const Case& c :
         {Case{false, {0x00, 0x00, 0x00, 0x00}}, Case{true, {0xAA, 0x1E, 0x00, 0x00}}}) {
        KeyTable t;
        t.UkladatKomentare = c.komentare;
        MemoryImage m;
        Keys2Mem(t, m);
        EXPECT_EQ(bajty(m, 28, 4), c.hlavicka);
        // Only the four header bytes are written and shown.
        for (int a = 0; a < VelikostPameti; ++a)
            EXPECT_EQ(m.zobrazeno(a), a >= 28 && a < 32) << a;
    }
}

TEST(Keys2Mem, RecordKeepsIdByteZeroFirstAndTheRestReversed) {
    KeyTable t;
    t.PocetKlicu = 1;
    t.klic(1) = klic("0A1B2C3D4E5F60", {1, 9, 24});
    MemoryImage m;
    Keys2Mem(t, m);
    EXPECT_EQ(bajty(m, 32, 10),
              (std::vector<int>{0x0A, 0x60, 0x5F, 0x4E, 0x3D, 0x2C, 0x1B, 0x01, 0x01, 0x80}));
}

TEST(Keys2Mem, CommentsFollowTheRecordsPaddedOrCut) {
    KeyTable t;
    t.PocetKlicu = 5;
    t.UkladatKomentare = true;
    t.DelkaKomentare = 10;
    for (int n = 1; n <= 5; ++n)
        t.klic(n) = klic("", {}, "k" + std::to_string(n));
    t.klic(3).Komentar = "0123456789abc";
    t.klic(4).Komentar = std::string("\xE8\xE1\0z", 4);  // Windows-1250 bytes and a zero byte
    MemoryImage m;
    Keys2Mem(t, m);
    EXPECT_EQ(bajty(m, 30, 2), (std::vector<int>{0, 5}));
    EXPECT_EQ(bajty(m, 82, 10),
              (std::vector<int>{'k', '1', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '}));
    EXPECT_EQ(bajty(m, 102, 10),
              (std::vector<int>{'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'}));
    EXPECT_EQ(bajty(m, 112, 4), (std::vector<int>{0xE8, 0xE1, 0x00, 'z'}));
    EXPECT_TRUE(m.zobrazeno(131));
    EXPECT_FALSE(m.zobrazeno(132));  // the data ends before 132
}

TEST(Keys2Mem, LeavesBytesPastTheDataEnd) {
    MemoryImage m;
    m.zapis(5, 0x55);
    m.zapis(200, 0x77);
    KeyTable t;
    t.PocetKlicu = 1;
    Keys2Mem(t, m);
    EXPECT_EQ(m[5], 0x55);
    EXPECT_EQ(m[200], 0x77);
    EXPECT_TRUE(m.zobrazeno(200));
}

TEST(Conversion, RoundTripOfAFullTableWithCommentsAtEveryLength) {
    for (int delka : {1, 7, 30, 50}) {
        KeyTable t;
        t.UkladatKomentare = true;
        t.DelkaKomentare = static_cast<std::uint16_t>(delka);
        t.PocetKlicu = static_cast<std::uint16_t>(Kapacita(delka));
        for (int n = 1; n <= t.PocetKlicu; ++n) {
            const std::string id = Kod2ID({static_cast<std::uint8_t>(n),
                                           static_cast<std::uint8_t>(n >> 8), 1, 2, 3, 4, 0xFF});
            t.klic(n) =
                klic(id, {n % 24 + 1, 24},
                     std::string(static_cast<std::size_t>(delka), static_cast<char>('A' + n % 26)));
        }
        MemoryImage m;
        Keys2Mem(t, m);
        KeyTable zpet;
        zpet.UkladatKomentare = true;
        zpet.DelkaKomentare = t.DelkaKomentare;
        zpet.PocetKlicu = t.PocetKlicu;
        Mem2Keys(m, zpet);
        for (int n = 1; n <= t.PocetKlicu; ++n)
            ASSERT_EQ(zpet.klic(n), t.klic(n)) << delka << " " << n;
    }
}

TEST(Conversion, ACountAboveTheCapacityStopsAtTheCapacity) {
    // No conversion may reach past 0x7FFF, whatever the count says.
    KeyTable t;
    t.UkladatKomentare = true;
    t.DelkaKomentare = 50;
    t.PocetKlicu = MaxKlicu;
    for (int n = 1; n <= MaxKlicu; ++n)
        t.klic(n).Komentar = std::string(60, 'x');
    MemoryImage m;
    Keys2Mem(t, m);
    EXPECT_EQ(m[30] * 256 + m[31], 545);
    EXPECT_EQ(m[32 + 545 * 60 - 1], 'x');
    EXPECT_FALSE(m.zobrazeno(32 + 545 * 60));

    KeyTable zpet = t;
    zpet.klic(546).Komentar = "untouched";
    Mem2Keys(m, zpet);
    EXPECT_EQ(zpet.klic(545).Komentar, std::string(50, 'x'));
    EXPECT_EQ(zpet.klic(546).Komentar, "untouched");
}

TEST(Mem2Keys, WithoutCommentsNamesTheKeysAndReadsTheFloorBits) {
    MemoryImage m;
    const int zaznam[] = {0x0A, 0x60, 0x5F, 0x4E, 0x3D, 0x2C, 0x1B, 0x01, 0x01, 0x80};
    for (int i = 0; i < 10; ++i)
        m.zapis(32 + i, static_cast<std::uint8_t>(zaznam[i]));
    for (int i = 0; i < 10; ++i)
        m.zapis(42 + i, 0xFF);  // erased memory
    KeyTable t;
    t.PocetKlicu = 2;
    t.klic(3).Komentar = "above the count";
    Mem2Keys(m, t);
    EXPECT_EQ(t.klic(1), klic("0A1B2C3D4E5F60", {1, 9, 24}, "Klic c. 1"));
    EXPECT_EQ(t.klic(2).ID, "FFFFFFFFFFFFFF");
    for (auto p : t.klic(2).Patra)
        EXPECT_EQ(p, 1);
    EXPECT_EQ(t.klic(3).Komentar, "above the count");
}

TEST(Mem2Keys, CommentKeepsTrailingBlanks) {
    MemoryImage m;
    const char pole[] = {'A', 'B', ' ', ' ', ' '};
    for (int i = 0; i < 5; ++i)
        m.zapis(42 + i, static_cast<std::uint8_t>(pole[i]));
    KeyTable t;
    t.PocetKlicu = 1;
    t.UkladatKomentare = true;
    t.DelkaKomentare = 5;
    Mem2Keys(m, t);
    EXPECT_EQ(t.klic(1).Komentar, "AB   ");
}

TEST(MemoryImage, MapCellsFollowWritesAndInitialisation) {
    MemoryImage m;
    EXPECT_TRUE(m.vezmiZmeny().prazdny());
    m.zapis(0x1C, 0xAA);
    m.zapis(0x40, 0);
    m.zapis(VelikostPameti, 1);  // outside: ignored
    m.zapis(-1, 1);
    const auto r = m.vezmiZmeny();
    EXPECT_EQ(r.prvni, 0x1C);
    EXPECT_EQ(r.posledni, 0x40);
    m.vynuluj();  // clearing the bytes leaves the cells
    EXPECT_EQ(m[0x1C], 0);
    EXPECT_TRUE(m.zobrazeno(0x1C));
    m.vyprazdniMapu();
    EXPECT_FALSE(m.zobrazeno(0x1C));
}

}  // namespace
}  // namespace zak
