#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "TKlic.h"

namespace zak {

constexpr int MaxKlicu = 2000;
constexpr std::uint16_t VychoziLimitNacitani = 2000;
constexpr std::uint16_t VychoziDelkaKomentare = 30;

// The key table and the settings that go with it. Records are numbered 1..2000;
// only 1..PocetKlicu are keys, but records above the count may still hold data.
struct KeyTable {
    std::array<TKlic, MaxKlicu + 1> SeznamKlicu{};  // index 0 is unused
    std::uint16_t PocetKlicu = 0;
    std::uint16_t AktKlic = 0;
    std::uint16_t LimitNacitani = VychoziLimitNacitani;
    std::uint16_t DelkaKomentare = VychoziDelkaKomentare;
    bool UkladatKomentare = false;

    TKlic& klic(int n) { return SeznamKlicu.at(static_cast<std::size_t>(n)); }
    const TKlic& klic(int n) const { return SeznamKlicu.at(static_cast<std::size_t>(n)); }

    // Is n a key of the table (1..PocetKlicu)?
    bool jeKlic(int n) const { return n >= 1 && n <= PocetKlicu; }

    // Blanks every record and returns the count and settings to their start values.
    void vymazVse();
};

// Largest key count whose records and comments of length L end at or below 0x7FFF.
int Kapacita(int delkaKomentare);

// The number of keys the memory image can hold with the table's current settings.
int KapacitaTabulky(const KeyTable& t);

// The floors (1..24) the key gives access to, in ascending order.
std::vector<int> CislaPater(const TKlic& k);

// Appends a blank key with its default comment and returns its number, or 0 when
// the table is full (2000 keys, or the capacity while comments are stored).
int PridejKlic(KeyTable& t);

// Where a key the unit reported belongs: the first key whose ID text is that of `kod`, or
// a key appended for it (PridejKlic, then its ID and bytes set). Cislo is 0 when it is not
// there and the table is full.
struct MistoKlice {
    int Cislo = 0;
    bool Pridan = false;
};
MistoKlice UmistiKlic(KeyTable& t, const TKod& kod);

struct IdAKod {
    std::string ID;
    TKod Kod{};
};

// The ID text and bytes for a text the operator entered: completed with zero digits,
// cut to 14 characters; a pair that is not two hex digits gives byte 0.
IdAKod ID2Kod(const std::string& text);

// 14 upper-case hex digits of the seven ID bytes.
std::string Kod2ID(const TKod& kod);

}  // namespace zak
