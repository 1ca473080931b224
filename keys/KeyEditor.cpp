#include "KeyEditor.h"

#include <cctype>
#include <limits>

#include "HexDigit.h"

namespace zak {

namespace {

std::optional<std::int64_t> ctiHex(const std::string& s, std::size_t i) {
    if (i >= s.size() || s.size() - i > 8)
        return std::nullopt;
    std::int64_t v = 0;
    for (; i < s.size(); ++i) {
        const int h = HexDigit(s[i]);
        if (h < 0)
            return std::nullopt;
        v = v * 16 + h;
    }
    // Eight hex digits fill the 32 bits, so $FFFFFFFF is -1.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

std::optional<std::int64_t> ctiDesitkove(const std::string& s, std::size_t i) {
    if (i >= s.size())
        return std::nullopt;
    std::int64_t v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9')
            return std::nullopt;
        v = v * 10 + (s[i] - '0');
        if (v > std::int64_t{1} << 31)
            return std::nullopt;  // stops before any overflow
    }
    return v;
}

}  // namespace

std::optional<std::int32_t> CtiCislo(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool zaporne = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        zaporne = text[i] == '-';
        ++i;
    }
    std::optional<std::int64_t> v;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        v = ctiHex(text, i + 1);
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        v = ctiHex(text, i + 2);
    } else {
        v = ctiDesitkove(text, i);
    }
    if (!v)
        return std::nullopt;
    const std::int64_t hodnota = zaporne ? -*v : *v;
    if (hodnota < std::numeric_limits<std::int32_t>::min() ||
        hodnota > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(hodnota);
}

bool SmazKlic(KeyTable& t, int n) {
    if (!t.jeKlic(n))
        return false;
    for (int i = n; i < t.PocetKlicu; ++i)
        t.klic(i) = t.klic(i + 1);
    t.klic(t.PocetKlicu).vymaz();
    --t.PocetKlicu;
    return true;
}

bool InvertujPatra(KeyTable& t, int n) {
    if (!t.jeKlic(n))
        return false;
    for (auto& p : t.klic(n).Patra)
        p = p ? 0 : 1;
    return true;
}

bool NastavID(KeyTable& t, int n, const std::string& text) {
    if (!t.jeKlic(n))
        return false;
    std::string velka = text;
    for (char& c : velka)
        c = VelkePismeno(c);
    IdAKod r = ID2Kod(velka);
    TKlic& k = t.klic(n);
    k.ID = std::move(r.ID);
    k.Kod = r.Kod;
    return true;
}

bool NastavKomentar(KeyTable& t, int n, const std::string& text) {
    if (!t.jeKlic(n))
        return false;
    t.klic(n).Komentar = text;
    return true;
}

bool NastavPatro(KeyTable& t, int n, int patro, bool povoleno) {
    if (n < 1 || n > MaxKlicu || patro < 1 || patro > PocetPater)
        return false;
    t.klic(n).Patra[static_cast<std::size_t>(patro - 1)] = povoleno ? 1 : 0;
    return true;
}

ZmenaNastaveni NastavDelkuKomentare(KeyTable& t, const std::string& text) {
    const auto cislo = CtiCislo(text);
    const int delka = (cislo && *cislo >= 1 && *cislo <= 50) ? *cislo : VychoziDelkaKomentare;
    if (t.UkladatKomentare && t.PocetKlicu > Kapacita(delka))
        return {false, Kapacita(delka)};
    t.DelkaKomentare = static_cast<std::uint16_t>(delka);
    return {true, Kapacita(delka)};
}

ZmenaNastaveni NastavUkladatKomentare(KeyTable& t, bool ukladat) {
    const int kapacita = Kapacita(t.DelkaKomentare);
    if (ukladat && t.PocetKlicu > kapacita)
        return {false, kapacita};
    t.UkladatKomentare = ukladat;
    return {true, kapacita};
}

void NastavLimitNacitani(KeyTable& t, const std::string& text) {
    const auto cislo = CtiCislo(text);
    t.LimitNacitani = cislo ? static_cast<std::uint16_t>(static_cast<std::uint32_t>(*cislo))
                            : VychoziLimitNacitani;
}

}  // namespace zak
