// The last-key query: a key found, a key appended, no key, and a full table.
#include <gtest/gtest.h>

#include "LinkHarness.h"
#include "LinkMessages.h"

namespace zak::test {
namespace {

TKod KodOf(const std::string& id) {
    return ID2Kod(id).Kod;
}

TEST(LastKey, AKeyOfTheTableBecomesTheCurrentKeyAndNothingChanges) {
    LinkRig rig;
    FillKeys(rig.klice, 300);
    Keys2Mem(rig.klice, rig.pamet);
    const KeyTable before = rig.klice;
    // The lookup covers every key, also those past 255.
    rig.unit.present(rig.klice.klic(300).Kod);

    rig.link.btnSendCRClick();
    rig.run();

    EXPECT_EQ(rig.klice.AktKlic, 300);
    EXPECT_EQ(rig.window.shownKey, 300);
    EXPECT_EQ(rig.window.messages, std::vector<std::string>{"Klíč nalezen v databázi."});
    EXPECT_EQ(rig.klice.PocetKlicu, 300);
    EXPECT_TRUE(rig.klice.SeznamKlicu == before.SeznamKlicu);
    EXPECT_EQ(rig.link.LastPresentedId(), before.klic(300).ID);
    EXPECT_EQ(rig.window.presentedId, before.klic(300).ID);
}

TEST(LastKey, AnUnknownKeyIsAppendedAndItsSlotHoldsTheBytesInTheUnitsOrder) {
    LinkRig rig;
    FillKeys(rig.klice, 2);
    rig.klice.klic(2).Patra.fill(1);
    Keys2Mem(rig.klice, rig.pamet);
    rig.unit.present(KodOf("0A1B2C3D4E5F60"));

    rig.link.btnSendCRClick();
    rig.run();

    ASSERT_EQ(rig.klice.PocetKlicu, 3);
    const TKlic& k = rig.klice.klic(3);
    EXPECT_EQ(k.ID, "0A1B2C3D4E5F60");
    EXPECT_EQ(k.Kod, KodOf("0A1B2C3D4E5F60"));
    EXPECT_EQ(k.Komentar, "Novy klic c.3");
    EXPECT_EQ(k.Patra, (std::array<std::uint8_t, PocetPater>{}));
    EXPECT_EQ(rig.klice.AktKlic, 3);
    EXPECT_EQ(rig.window.rowShown, 3);
    EXPECT_EQ(rig.window.shownKey, 3);
    EXPECT_TRUE(rig.window.messages.empty());
    EXPECT_EQ(rig.link.LastPresentedId(), "0A1B2C3D4E5F60");

    // The reply carried 13 0A 60 5F 4E 3D 2C 1B: its bytes 1..7 are the key's slot.
    const Bytes slot = {0x0A, 0x60, 0x5F, 0x4E, 0x3D, 0x2C, 0x1B, 0x00, 0x00, 0x00};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(rig.pamet[52 + i], slot[static_cast<std::size_t>(i)]) << i;
    EXPECT_EQ(rig.pamet[AdrPocetLo], 3);
}

TEST(LastKey, NoNewKeyOnlyTellsTheOperator) {
    LinkRig rig;
    FillKeys(rig.klice, 2);
    const KeyTable before = rig.klice;

    rig.link.btnSendCRClick();
    rig.run();

    EXPECT_EQ(rig.window.messages, std::vector<std::string>{"Nebyl nově přiložen žádný klíč."});
    EXPECT_TRUE(rig.klice.SeznamKlicu == before.SeznamKlicu);
    EXPECT_EQ(rig.klice.PocetKlicu, 2);
    EXPECT_TRUE(rig.link.LastPresentedId().empty());
}

TEST(LastKey, AFullTableAppendsNothingAndSaysSoAsTheAddCommandDoes) {
    const struct {
        const char* name;
        int keys;
        bool comments;
        std::string message;
    } cases[] = {
        {"2000 keys", 2000, false, "Seznam klíčů je plný, další klíč nelze přidat."},
        {"capacity for comments of 30", 818, true,
         "Seznam klíčů je plný, další klíč nelze přidat. S uloženými komentáři délky 30 se do "
         "paměti ZAK vejde nejvýše 818 klíčů."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LinkRig rig;
        FillKeys(rig.klice, c.keys);
        rig.klice.UkladatKomentare = c.comments;
        Keys2Mem(rig.klice, rig.pamet);
        const MemoryImage image = rig.pamet;
        rig.unit.present(KodOf("0A1B2C3D4E5F60"));

        rig.link.btnSendCRClick();
        rig.run();

        EXPECT_EQ(rig.klice.PocetKlicu, c.keys);
        EXPECT_EQ(rig.window.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(TableFullMessage(rig.klice), c.message);
        EXPECT_TRUE(std::equal(image.data(), image.data() + VelikostPameti, rig.pamet.data()));
        EXPECT_EQ(rig.link.LastPresentedId(), "0A1B2C3D4E5F60");
    }
}

}  // namespace
}  // namespace zak::test
