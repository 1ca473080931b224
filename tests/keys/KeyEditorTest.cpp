#include <gtest/gtest.h>

#include "KeyEditor.h"

namespace zak {
namespace {

TEST(CtiCislo, NumberRuleOfThePanelFields) {
    struct Case {
        const char* text;
        std::optional<std::int32_t> cislo;
    };
    const Case cases[] = {
        {"100", 100},
        {"   42", 42},
        {"+7", 7},
        {"-5", -5},
        {"$1F", 31},
        {"x10", 16},
        {"X10", 16},
        {"0x10", 16},
        {"0Xff", 255},
        {"-$10", -16},
        {"$FFFFFFFF", -1},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"007", 7},
        {"0", 0},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"5 ", std::nullopt},  // the field as "%3d " shows it
        {"  0 ", std::nullopt},
        {"12a", std::nullopt},
        {"abc", std::nullopt},
        {"-", std::nullopt},
        {"$", std::nullopt},
        {"0x", std::nullopt},
        {"$123456789", std::nullopt},  // more than eight hex digits
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"1.5", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CtiCislo(c.text), c.cislo) << '"' << c.text << '"';
}

KeyTable tabulka(int pocet) {
    KeyTable t;
    for (int n = 1; n <= pocet; ++n) {
        PridejKlic(t);
        t.klic(n).ID = "ID" + std::to_string(n);
    }
    return t;
}

TEST(SmazKlic, MovesTheFollowingKeysDownAndBlanksTheLastRecord) {
    KeyTable t = tabulka(5);
    ASSERT_TRUE(SmazKlic(t, 3));
    EXPECT_EQ(t.PocetKlicu, 4);
    EXPECT_EQ(t.klic(3).ID, "ID4");
    EXPECT_EQ(t.klic(4).ID, "ID5");
    EXPECT_EQ(t.klic(5), TKlic{});

    // Deleting the last key, then adding, gives that number again with a blank key.
    ASSERT_TRUE(SmazKlic(t, 4));
    EXPECT_EQ(PridejKlic(t), 4);
    EXPECT_EQ(t.klic(4).ID, "");
    EXPECT_EQ(t.klic(4).Komentar, "Novy klic c.4");
}

TEST(EditsOfAKey, IgnoredWhenNoKeyIsCurrent) {
    for (int pocet : {0, 3}) {
        KeyTable t = tabulka(pocet);
        const KeyTable pred = t;
        for (int n : {0, pocet + 1}) {
            EXPECT_FALSE(SmazKlic(t, n));
            EXPECT_FALSE(InvertujPatra(t, n));
            EXPECT_FALSE(NastavID(t, n, "12"));
            EXPECT_FALSE(NastavKomentar(t, n, "x"));
        }
        EXPECT_EQ(t.SeznamKlicu, pred.SeznamKlicu);
        EXPECT_EQ(t.PocetKlicu, pred.PocetKlicu);
    }
}

TEST(EditsOfAKey, IdCommentAndFloors) {
    KeyTable t = tabulka(2);
    ASSERT_TRUE(NastavID(t, 2, "12ab"));
    EXPECT_EQ(t.klic(2).ID, "12AB0000000000");
    EXPECT_EQ(t.klic(2).Kod, (TKod{0x12, 0xAB, 0, 0, 0, 0, 0}));

    const std::string cesky = "P\xF8\xEDli\x9A \x9Elu\x9Dou\xE8k\xFD k\xF9\xF2  ";  // kept as bytes
    ASSERT_TRUE(NastavKomentar(t, 2, cesky));
    EXPECT_EQ(t.klic(2).Komentar, cesky);

    t.klic(1).Patra[0] = 1;
    t.klic(1).Patra[23] = 1;
    ASSERT_TRUE(InvertujPatra(t, 1));
    for (int p = 1; p <= 24; ++p)
        EXPECT_EQ(t.klic(1).Patra[p - 1], (p >= 2 && p <= 23) ? 1 : 0) << p;

    // A floor box writes into the current record even above the count, never into none.
    EXPECT_TRUE(NastavPatro(t, 7, 5, true));
    EXPECT_EQ(t.klic(7).Patra[4], 1);
    EXPECT_FALSE(NastavPatro(t, 0, 5, true));
    EXPECT_FALSE(NastavPatro(t, 1, 25, true));
}

TEST(NastavDelkuKomentare, OutOfRangeOrNotANumberGives30) {
    const std::pair<const char*, int> cases[] = {{"7", 7},   {"50", 50},    {"1", 1},   {"0", 30},
                                                 {"51", 30}, {"slovo", 30}, {"-3", 30}, {"$A", 10}};
    for (auto [text, delka] : cases) {
        KeyTable t;
        t.DelkaKomentare = 12;
        EXPECT_TRUE(NastavDelkuKomentare(t, text).prijata);
        EXPECT_EQ(t.DelkaKomentare, delka) << text;
    }
}

TEST(CapacityRefusals, TheKeysAlwaysFitWhileCommentsAreStored) {
    KeyTable t = tabulka(1000);  // fits length 20 (1091) but not 30 (818)
    // Without stored comments every length is taken.
    EXPECT_TRUE(NastavDelkuKomentare(t, "50").prijata);
    EXPECT_EQ(t.DelkaKomentare, 50);

    const ZmenaNastaveni zapnuti = NastavUkladatKomentare(t, true);
    EXPECT_FALSE(zapnuti.prijata);
    EXPECT_EQ(zapnuti.kapacita, 545);
    EXPECT_FALSE(t.UkladatKomentare);

    ASSERT_TRUE(NastavDelkuKomentare(t, "20").prijata);
    ASSERT_TRUE(NastavUkladatKomentare(t, true).prijata);
    const ZmenaNastaveni delsi = NastavDelkuKomentare(t, "30");
    EXPECT_FALSE(delsi.prijata);
    EXPECT_EQ(delsi.kapacita, 818);
    EXPECT_EQ(t.DelkaKomentare, 20);
    EXPECT_FALSE(NastavDelkuKomentare(t, "nonsense").prijata);  // 30 would not fit either
    EXPECT_TRUE(NastavUkladatKomentare(t, false).prijata);
}

TEST(NastavLimitNacitani, NotANumberGives2000AndValuesWrapAt65536) {
    const std::pair<const char*, int> cases[] = {{"100", 100}, {"0", 0},        {"65535", 65535},
                                                 {"65536", 0}, {"70000", 4464}, {"-1", 65535},
                                                 {"5 ", 2000}, {"", 2000},      {"abc", 2000}};
    for (auto [text, limit] : cases) {
        KeyTable t;
        t.LimitNacitani = 7;
        NastavLimitNacitani(t, text);
        EXPECT_EQ(t.LimitNacitani, limit) << text;
    }
}

}  // namespace
}  // namespace zak
