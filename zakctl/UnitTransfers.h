#pragma once

// Downloads, uploads and read-backs block by block over a UnitSession, with the window's
// rules: every transfer starts with the head block (28..41) and ends with the first block
// that reaches the transfer end.

#include <cstdint>
#include <vector>

#include "KeyTable.h"
#include "MemoryImage.h"
#include "ProgressBar.h"
#include "UnitSession.h"

namespace zak::ctl {

// Reads the head block (28..41) into `image` and sets the key table's count and comment
// settings from it, as the window's download does. Returns the key count the head gave before
// it was cut to the table's LimitNacitani and to what fits.
int ReadHead(UnitSession& unit, KeyTable& keys, MemoryImage& image);

// Reads the unit into `image` and sets the key table's count and comment settings from its
// head (cut to the table's LimitNacitani), as the window's download does; the caller converts
// with Mem2Keys. Returns the key count the head gave before it was cut.
int DownloadUnit(UnitSession& unit, KeyTable& keys, MemoryImage& image, ProgressBar& progress);

// Writes the blocks of the image that the table's transfer end covers.
void UploadImage(UnitSession& unit, const KeyTable& keys, const MemoryImage& image,
                 ProgressBar& progress);

struct ByteDifference {
    int addr;
    std::uint8_t expected;
    std::uint8_t found;
};

// Reads back the blocks UploadImage wrote and compares them byte for byte with the image.
std::vector<ByteDifference> ReadBack(UnitSession& unit, const KeyTable& keys,
                                     const MemoryImage& image, ProgressBar& progress);

}  // namespace zak::ctl
