#include <gtest/gtest.h>

#include "KeyTable.h"

namespace zak {
namespace {

struct Id2KodCase {
    std::string text;
    std::string id;
    TKod kod;
};

TEST(ID2Kod, CompletesCutsAndZeroesNonHexPairs) {
    const Id2KodCase cases[] = {
        {"12AB", "12AB0000000000", {0x12, 0xAB, 0, 0, 0, 0, 0}},
        {"", "00000000000000", {0, 0, 0, 0, 0, 0, 0}},
        {"0A1B2C3D4E5F6077889900", "0A1B2C3D4E5F60", {0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F, 0x60}},
        {"1G2233", "1G223300000000", {0x00, 0x22, 0x33, 0, 0, 0, 0}},
        {"ab cd-1", "ab cd-10000000", {0xAB, 0, 0, 0x10, 0, 0, 0}},  // lower case still hex
        {"FFFFFFFFFFFFFF", "FFFFFFFFFFFFFF", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        {"\xC8\xE1",
         "\xC8\xE1"
         "000000000000",
         {0, 0, 0, 0, 0, 0, 0}},  // Czech letters kept
    };
    for (const auto& c : cases) {
        const IdAKod r = ID2Kod(c.text);
        EXPECT_EQ(r.ID, c.id) << c.text;
        EXPECT_EQ(r.Kod, c.kod) << c.text;
    }
}

TEST(Kod2ID, FormatsUpperCaseWithLeadingZeros) {
    EXPECT_EQ(Kod2ID({0x01, 0x00, 0x00, 0x0A, 0x0B, 0x0C, 0xFF}), "0100000A0B0CFF");
    // Every ID the tool formats reads back to the same bytes.
    const TKod kod{0xDE, 0xAD, 0xBE, 0xEF, 0x00, 0x7F, 0x80};
    EXPECT_EQ(ID2Kod(Kod2ID(kod)).Kod, kod);
}

TEST(Kapacita, FollowsTheMemorySize) {
    const std::pair<int, int> cases[] = {{1, 2000},  {6, 2000}, {7, 1925}, {10, 1636},
                                         {20, 1091}, {30, 818}, {40, 654}, {50, 545}};
    for (auto [delka, kapacita] : cases)
        EXPECT_EQ(Kapacita(delka), kapacita) << delka;
    // The largest count always ends at or below the last address of the image.
    for (int delka = 1; delka <= 50; ++delka)
        EXPECT_LE(32 + Kapacita(delka) * (10 + delka) - 1, 0x7FFF) << delka;
}

TEST(PridejKlic, AppendsABlankKeyWithItsDefaultComment) {
    KeyTable t;
    t.PocetKlicu = 2;
    t.klic(3).ID = "old";
    t.klic(3).Kod[0] = 9;
    t.klic(3).Patra[4] = 1;
    EXPECT_EQ(PridejKlic(t), 3);
    EXPECT_EQ(t.PocetKlicu, 3);
    TKlic ocekavany;
    ocekavany.Komentar = "Novy klic c.3";
    EXPECT_EQ(t.klic(3), ocekavany);
}

TEST(PridejKlic, RefusesAFullTable) {
    KeyTable t;
    t.PocetKlicu = MaxKlicu;
    EXPECT_EQ(PridejKlic(t), 0);
    EXPECT_EQ(t.PocetKlicu, MaxKlicu);

    // With stored comments, the capacity for the comment length is the limit.
    t.PocetKlicu = 818;
    t.UkladatKomentare = true;
    EXPECT_EQ(PridejKlic(t), 0);
    EXPECT_EQ(t.PocetKlicu, 818);
    t.UkladatKomentare = false;
    EXPECT_EQ(PridejKlic(t), 819);
}

TEST(KeyTable, ClearingRestoresStartValues) {
    KeyTable t;
    t.PocetKlicu = 5;
    t.LimitNacitani = 7;
    t.DelkaKomentare = 12;
    t.UkladatKomentare = true;
    t.klic(2000).Komentar = "x";
    t.vymazVse();
    EXPECT_EQ(t.PocetKlicu, 0);
    EXPECT_EQ(t.LimitNacitani, 2000);
    EXPECT_EQ(t.DelkaKomentare, 30);
    EXPECT_FALSE(t.UkladatKomentare);
    EXPECT_EQ(t.klic(2000), TKlic{});
}

}  // namespace
}  // namespace zak
