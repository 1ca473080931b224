#pragma once

// Where a download or upload starts and ends in the unit's memory, and how a downloaded head
// sets the key table. Plain functions; the window's thread.

#include <cstdint>
#include <vector>

#include "KeyTable.h"
#include "MemoryImage.h"

namespace zak {

// Every transfer starts with the block that holds the head (28..41).
constexpr std::uint16_t FirstBlockAddr = 28;

// The last block that lies wholly inside the 32768-byte memory (32754..32767).
constexpr std::uint16_t LastBlockAddr = 32754;

// The address just past the used part of the memory for the table's key count and comment
// settings: 32 + PocetKlicu * (10 + comment length when comments are stored), at most 32767.
int TransferEnd(const KeyTable& t);

// The start of the block to move for the data from `addr` on. Blocks are 14 bytes apart from
// 28 on, but no block reaches past 0x7FFF: the one that would start at 32760 starts at 32754
// instead and so repeats six bytes of the block before it.
std::uint16_t BlockStart(int addr);

// The start addresses of the blocks a transfer moves for data that ends before `end`: from
// 28 on, up to the first block that reaches `end` (at least the head's block).
std::vector<std::uint16_t> TransferBlocks(int end);

// Takes the comment settings and the key count from the image's head (28..31):
// UkladatKomentare when byte 28 is 0xAA; DelkaKomentare from byte 29, 30 when that is 0 or
// above 50; PocetKlicu from bytes 30-31, cut to LimitNacitani, to the 2000 records of the
// table and, with comments stored, to the number of keys whose comments fit in the memory.
void TakeHead(const MemoryImage& image, KeyTable& t);

}  // namespace zak
