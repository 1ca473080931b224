#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "IniFile.h"
#include "KeyTable.h"

namespace zak {

// The key list file (*.ZAK): section Obecne with PocetKlicu, then one section
// Klic0001, Klic0002, ... per key with ID, Komentar and Patro01..Patro24. The file
// carries no settings, and Kod is not written: loading computes it from the ID text.

// Key list files larger than this are not read (no list of 2000 keys comes near it).
constexpr std::size_t MaxVelikostSouboru = 16u << 20;

// Saves keys 1..PocetKlicu into the file. An existing file is updated, not emptied:
// its other sections and keys stay, so sections above the new count remain and are
// ignored by loading. The whole file is parsed once, updated in memory and written
// once, and replaces the old file only when complete (see replaceFile): a failed save
// leaves the old file whole. A file that exists but cannot be read is not replaced.
// The key table is not changed. Returns nothing on success, otherwise the message for
// the operator, "Unable to write to " and the file name (in the file name's bytes).
std::optional<std::string> UlozSeznamKlicu(const std::string& soubor, const KeyTable& t);

// Replaces the key table by the keys of the file. The table is first blanked and its
// settings returned to their start values (as ResetAll does for the table; the memory
// image, the map and the grid are the window's), then filled from the file.
// Never fails: a missing, unreadable or oversized file, or one without Obecne, loads no
// keys. A count above 2000 loads the first 2000 keys, a negative one none.
// Returns the number of keys loaded, which is PocetKlicu: grid rows 1..that number
// hold the new keys.
int NactiSeznamKlicu(const std::string& soubor, KeyTable& t);

// The two steps above without the disk, on a parsed file.
void ZapisSeznam(const KeyTable& t, IniFile& ini);
int NactiSeznam(const IniFile& ini, KeyTable& t);

// Section name of key k: "Klic" and k in four digits.
std::string SekceKlice(int k);

}  // namespace zak
