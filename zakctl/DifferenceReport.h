#pragma once

// Key differences and byte differences as lines for people and as JSON for scripts.

#include <string>
#include <vector>

#include "KeyCompare.h"
#include "UnitTransfers.h"

namespace zak::ctl {

// How the two sides are called: "A" and "B" for diff, "the file" and "the unit" for verify.
struct SideNames {
    std::string a;
    std::string b;
};

std::vector<std::string> DifferenceLines(const std::vector<KeyDifference>& differences,
                                         const ComparedList& a, const ComparedList& b,
                                         const SideNames& names);

// A JSON array of the differences.
std::string DifferencesJson(const std::vector<KeyDifference>& differences, const ComparedList& a,
                            const ComparedList& b);

// What an address of the image holds for the table's count and comment settings:
// "the key count", "the ID of key 3", "the floors of key 3", "the comment of key 3", ...
std::string AddressMeaning(int addr, const KeyTable& keys);

// "0x0034 (the ID of key 3): wrote 12, the unit holds 13".
std::string ByteDifferenceLine(const ByteDifference& d, const KeyTable& keys);

}  // namespace zak::ctl
