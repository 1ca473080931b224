#include "KeyListFile.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "DiskFile.h"

namespace zak {

namespace {

constexpr const char* Obecne = "Obecne";
constexpr const char* KlicPocet = "PocetKlicu";
constexpr const char* KlicID = "ID";
constexpr const char* KlicKomentar = "Komentar";
constexpr const char* VychoziID = "00000000000000";

std::string nazevPatra(int patro) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "Patro%.2d", patro);
    return buf;
}

std::string chybaZapisu(const std::string& soubor) {
    return "Unable to write to " + soubor;
}

}  // namespace

std::string SekceKlice(int k) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "Klic%.4d", k);
    return buf;
}

void ZapisSeznam(const KeyTable& t, IniFile& ini) {
    const int n = std::min<int>(t.PocetKlicu, MaxKlicu);
    ini.setValue(Obecne, KlicPocet, std::to_string(n));
    for (int k = 1; k <= n; ++k) {
        const TKlic& klic = t.klic(k);
        const std::string sekce = SekceKlice(k);
        ini.setValue(sekce, KlicID, klic.ID);
        ini.setValue(sekce, KlicKomentar, klic.Komentar);
        for (int p = 1; p <= PocetPater; ++p) {
            ini.setValue(sekce, nazevPatra(p), klic.Patra[p - 1] ? "1" : "0");
        }
    }
}

int NactiSeznam(const IniFile& ini, KeyTable& t) {
    t.vymazVse();
    const int n = std::clamp(ini.readInteger(Obecne, KlicPocet, 0), 0, MaxKlicu);
    t.PocetKlicu = static_cast<std::uint16_t>(n);
    for (int k = 1; k <= n; ++k) {
        TKlic& klic = t.klic(k);
        const std::string sekce = SekceKlice(k);
        // The ID text stays as written; only the bytes follow the pair rule.
        klic.ID = ini.readString(sekce, KlicID, VychoziID);
        klic.Kod = ID2Kod(klic.ID).Kod;
        for (int p = 1; p <= PocetPater; ++p) {
            klic.Patra[p - 1] = ini.readInteger(sekce, nazevPatra(p), 0) != 0 ? 1 : 0;
        }
        klic.Komentar = ini.readString(sekce, KlicKomentar, "");
    }
    return n;
}

std::optional<std::string> UlozSeznamKlicu(const std::string& soubor, const KeyTable& t) {
    try {
        FileContents stary = readWholeFile(soubor, MaxVelikostSouboru);
        // A file that is there but cannot be read cannot be updated without losing it.
        if (stary.status == FileContents::Status::Unreadable)
            return chybaZapisu(soubor);
        IniFile ini(std::move(stary.bytes));
        ZapisSeznam(t, ini);
        if (replaceFile(soubor, ini.bytes()) != 0)
            return chybaZapisu(soubor);
        return std::nullopt;
    } catch (const std::bad_alloc&) {
        return chybaZapisu(soubor);
    }
}

int NactiSeznamKlicu(const std::string& soubor, KeyTable& t) {
    try {
        FileContents obsah = readWholeFile(soubor, MaxVelikostSouboru);
        if (obsah.status != FileContents::Status::Read)
            obsah.bytes.clear();
        return NactiSeznam(IniFile(std::move(obsah.bytes)), t);
    } catch (const std::bad_alloc&) {
        t.vymazVse();
        return 0;
    }
}

}  // namespace zak
