#include "KeyListing.h"

#include <algorithm>
#include <cstdio>

namespace zak {

namespace {

// Texts of the listing in Windows-1250.
const std::string Nadpis =
    "ZAK1 - seznam p\xF8\xEDstupov\xFD"
    "ch kl\xED\xE8\xF9:";
const std::string Objekt = "Objekt: ";
const std::string Poznamka = "Pozn\xE1mka: ";
const std::string VypisZeDne = "(V\xFDpis ze dne ";
const std::string Zpristupnena = "Zp\xF8\xEDstupn\xECna patra \xE8.: ";

constexpr int Odsazeni = 16;
constexpr int SirkaCisla = 12;
constexpr int SirkaId = 16;
constexpr int SirkaKomentare = 40;

std::string blanks(int n) {
    return std::string(static_cast<std::size_t>(n), ' ');
}

std::string dots(int n) {
    return std::string(static_cast<std::size_t>(n), '.');
}

void radek(TextOutput& out, const std::string& text) {
    out.write(text);
    out.endLine();
}

void prazdneRadky(TextOutput& out, int n) {
    for (int i = 0; i < n; ++i)
        out.endLine();
}

}  // namespace

std::string CisloKlice(int k) {
    char cislo[32];
    std::snprintf(cislo, sizeof cislo, "%4d.   ", k);
    char pole[48];
    std::snprintf(pole, sizeof pole, "%*s", SirkaCisla, cislo);
    return pole;
}

std::string IdDoSloupce(const std::string& id) {
    return (id + blanks(SirkaId)).substr(0, SirkaId);
}

std::string KomentarDoSloupce(const std::string& komentar) {
    return (komentar + " " + dots(46)).substr(0, SirkaKomentare);
}

std::string PovolenaPatra(const TKlic& klic) {
    std::string r;
    for (int p = 1; p <= PocetPater; ++p) {
        if (klic.Patra[p - 1])
            r += std::to_string(p) + ",";
    }
    return r;
}

void VypisSeznamKlicu(const KeyTable& t, const std::string& datum, TextOutput& out) {
    out.beginDocument();
    out.setFont(PismoVypisu, VelikostPisma);
    prazdneRadky(out, 2);
    radek(out, blanks(21) + Nadpis);
    prazdneRadky(out, 1);
    radek(out, blanks(Odsazeni) + Objekt + dots(42));
    prazdneRadky(out, 1);
    radek(out, blanks(Odsazeni) + Poznamka + dots(40));
    radek(out, blanks(Odsazeni) + VypisZeDne + datum + ")");
    prazdneRadky(out, 4);

    const int n = std::min<int>(t.PocetKlicu, MaxKlicu);
    for (int k = 1; k <= n; ++k) {
        const TKlic& klic = t.klic(k);
        out.write(CisloKlice(k));
        out.write(IdDoSloupce(klic.ID));
        out.write(KomentarDoSloupce(klic.Komentar));
        out.endLine();

        out.write(blanks(SirkaCisla));
        out.setFont(PismoVypisu, VelikostPismaPater);
        out.write(Zpristupnena + PovolenaPatra(klic));
        out.endLine();
        out.setFont(PismoVypisu, VelikostPisma);

        out.endLine();
    }
    out.endDocument();
}

}  // namespace zak
