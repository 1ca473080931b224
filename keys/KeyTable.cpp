#include "KeyTable.h"

#include <algorithm>
#include <cstdio>

#include "HexDigit.h"

namespace zak {

void KeyTable::vymazVse() {
    for (auto& k : SeznamKlicu)
        k.vymaz();
    PocetKlicu = 0;
    LimitNacitani = VychoziLimitNacitani;
    DelkaKomentare = VychoziDelkaKomentare;
    UkladatKomentare = false;
}

int Kapacita(int delkaKomentare) {
    return std::min(MaxKlicu, 32735 / (delkaKomentare + 10));
}

int KapacitaTabulky(const KeyTable& t) {
    return t.UkladatKomentare ? Kapacita(t.DelkaKomentare) : MaxKlicu;
}

std::vector<int> CislaPater(const TKlic& k) {
    std::vector<int> patra;
    for (int p = 1; p <= PocetPater; ++p) {
        if (k.Patra[static_cast<std::size_t>(p - 1)] != 0)
            patra.push_back(p);
    }
    return patra;
}

int PridejKlic(KeyTable& t) {
    if (t.PocetKlicu >= KapacitaTabulky(t))
        return 0;
    const int n = ++t.PocetKlicu;
    TKlic& k = t.klic(n);
    k.vymaz();
    k.Komentar = "Novy klic c." + std::to_string(n);
    return n;
}

MistoKlice UmistiKlic(KeyTable& t, const TKod& kod) {
    const std::string id = Kod2ID(kod);
    const int pocet = std::min<int>(t.PocetKlicu, MaxKlicu);
    for (int n = 1; n <= pocet; ++n) {
        if (t.klic(n).ID == id)
            return {n, false};
    }
    const int n = PridejKlic(t);
    if (n != 0) {
        t.klic(n).ID = id;
        t.klic(n).Kod = kod;
    }
    return {n, n != 0};
}

IdAKod ID2Kod(const std::string& text) {
    IdAKod r;
    const std::string doplneny = text + "00000000000000";
    for (int i = 0; i < DelkaKodu; ++i) {
        const int hi = HexDigit(doplneny[2 * i]);
        const int lo = HexDigit(doplneny[2 * i + 1]);
        r.Kod[i] = (hi < 0 || lo < 0) ? 0 : static_cast<std::uint8_t>(hi * 16 + lo);
    }
    r.ID = doplneny.substr(0, 2 * DelkaKodu);
    return r;
}

std::string Kod2ID(const TKod& kod) {
    char buf[2 * DelkaKodu + 1];
    for (int i = 0; i < DelkaKodu; ++i)
        std::snprintf(buf + 2 * i, 3, "%.2X", kod[i]);
    return std::string(buf, 2 * DelkaKodu);
}

}  // namespace zak
