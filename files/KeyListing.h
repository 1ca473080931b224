#pragma once

#include <string>

#include "KeyTable.h"
#include "TextOutput.h"

namespace zak {

constexpr const char* PismoVypisu = "Courier New";
constexpr int VelikostPisma = 12;
constexpr int VelikostPismaPater = 8;

// Writes the printed key list of keys 1..PocetKlicu as one document: the title block
// with the date of the listing (`datum`, Windows-1250, in the operator's short date
// format), then for each key a line with its number, ID and comment, a line with its
// allowed floors in the small font, and an empty line. The table is not changed.
void VypisSeznamKlicu(const KeyTable& t, const std::string& datum, TextOutput& out);

// The three pieces of a key's first line: the number right-aligned in 12 places
// ("%4d.   " right-aligned), the ID padded or cut to 16 places and the comment led out
// with full stops or cut to 40 places, 68 places in all.
std::string CisloKlice(int k);
std::string IdDoSloupce(const std::string& id);
std::string KomentarDoSloupce(const std::string& komentar);

// The allowed floors as "%d," each, in ascending order ("3,24," for floors 3 and 24).
std::string PovolenaPatra(const TKlic& klic);

}  // namespace zak
