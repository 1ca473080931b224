#pragma once

#include "KeyTable.h"
#include "MemoryImage.h"

namespace zak {

// How many keys the conversions move: PocetKlicu, but never more than the image can
// hold with the current comment settings, so that nothing lies past 0x7FFF.
int PocetVPameti(const KeyTable& t);

// Writes the header, the key records and (when stored) the comments of the keys into
// the image. Bytes past the data end and below address 28 keep what they held.
void Keys2Mem(const KeyTable& t, MemoryImage& pamet);

// Fills keys 1..PocetKlicu from the image, using the table's comment settings.
// Records above the count are not touched.
void Mem2Keys(const MemoryImage& pamet, KeyTable& t);

}  // namespace zak
