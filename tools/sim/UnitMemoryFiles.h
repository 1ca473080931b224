#pragma once

// Filling the simulated unit's memory from files, and writing it to one.

#include <optional>
#include <string>

#include "ZakUnit.h"

namespace zak::sim {

// The keys of a key-list file (*.ZAK) laid out as the unit keeps them: head, key records
// and, when `comments` is set, comment fields of `commentLength` bytes (1..50). Keys that do
// not fit in the memory with their comments are left out. Returns the error text, or
// nothing when the memory was filled.
std::optional<std::string> LoadKeyList(const std::string& path, bool comments, int commentLength,
                                       ZakUnit::Memory& memory);

// A raw memory image: the file's bytes from address 0 on, at most 32768 of them.
std::optional<std::string> LoadImage(const std::string& path, ZakUnit::Memory& memory);

// Writes all 32768 bytes to the file.
bool SaveImage(const std::string& path, const ZakUnit::Memory& memory);

}  // namespace zak::sim
