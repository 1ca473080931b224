#include "KeyConversion.h"

#include <algorithm>

namespace zak {

namespace {

int adresaZaznamu(int n) {
    return AdrPrvniKlic + DelkaZaznamu * (n - 1);
}

// The unit keeps ID byte 0 first and bytes 1..6 in reverse order after it.
int poziceBajtuId(int j) {
    return j == 0 ? 0 : 7 - j;
}

std::uint8_t bityPater(const TKlic& k, int prvniPatro) {
    std::uint8_t b = 0;
    for (int bit = 0; bit < 8; ++bit)
        if (k.Patra[static_cast<std::size_t>(prvniPatro + bit)] != 0)
            b |= 1u << bit;
    return b;
}

}  // namespace

int PocetVPameti(const KeyTable& t) {
    return std::min<int>(t.PocetKlicu, KapacitaTabulky(t));
}

void Keys2Mem(const KeyTable& t, MemoryImage& pamet) {
    const int pocet = PocetVPameti(t);
    pamet.zapis(AdrZnackaKomentaru, t.UkladatKomentare ? ZnackaKomentaru : 0x00);
    pamet.zapis(AdrDelkaKomentare,
                t.UkladatKomentare ? static_cast<std::uint8_t>(t.DelkaKomentare) : 0x00);
    pamet.zapis(AdrPocetHi, static_cast<std::uint8_t>(pocet / 256));
    pamet.zapis(AdrPocetLo, static_cast<std::uint8_t>(pocet % 256));

    for (int n = 1; n <= pocet; ++n) {
        const TKlic& k = t.klic(n);
        const int p = adresaZaznamu(n);
        for (int j = 0; j < DelkaKodu; ++j)
            pamet.zapis(p + poziceBajtuId(j), k.Kod[j]);
        pamet.zapis(p + 7, bityPater(k, 0));
        pamet.zapis(p + 8, bityPater(k, 8));
        pamet.zapis(p + 9, bityPater(k, 16));
    }

    if (!t.UkladatKomentare)
        return;
    const int delka = t.DelkaKomentare;
    const int zacatek = AdrPrvniKlic + DelkaZaznamu * pocet;
    for (int n = 1; n <= pocet; ++n) {
        const std::string& komentar = t.klic(n).Komentar;
        const int p = zacatek + delka * (n - 1);
        for (int i = 0; i < delka; ++i) {
            const auto znak = static_cast<std::size_t>(i) < komentar.size()
                                  ? static_cast<std::uint8_t>(komentar[static_cast<std::size_t>(i)])
                                  : std::uint8_t{' '};
            pamet.zapis(p + i, znak);
        }
    }
}

void Mem2Keys(const MemoryImage& pamet, KeyTable& t) {
    const int pocet = PocetVPameti(t);
    const int delka = t.DelkaKomentare;
    const int zacatekKomentaru = AdrPrvniKlic + DelkaZaznamu * pocet;
    for (int n = 1; n <= pocet; ++n) {
        TKlic& k = t.klic(n);
        const int p = adresaZaznamu(n);
        for (int j = 0; j < DelkaKodu; ++j)
            k.Kod[j] = pamet[p + poziceBajtuId(j)];
        k.ID = Kod2ID(k.Kod);
        for (int f = 0; f < PocetPater; ++f)
            k.Patra[static_cast<std::size_t>(f)] = (pamet[p + 7 + f / 8] >> (f % 8)) & 1u;
        if (t.UkladatKomentare) {
            const int q = zacatekKomentaru + delka * (n - 1);
            k.Komentar.assign(reinterpret_cast<const char*>(pamet.data() + q),
                              static_cast<std::size_t>(delka));
        } else {
            k.Komentar = "Klic c. " + std::to_string(n);
        }
    }
}

}  // namespace zak
