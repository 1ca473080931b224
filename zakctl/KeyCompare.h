#pragma once

// What differs between two key lists: by ID (diff) or by key number (verify).

#include <string>
#include <vector>

#include "KeyTable.h"

namespace zak::ctl {

// One side of a comparison.
struct ComparedList {
    const KeyTable& keys;
    // Its comments are the operator's: a file's, or a unit's that stores them. A unit without
    // stored comments has only the default texts, which are not compared.
    bool comments;
    // A unit's comment field length: its comments are cut to it and padded with blanks. 0 for
    // a file, whose comments stand as written.
    int commentLength = 0;
};

enum class DifferenceKind {
    OnlyInA,  // diff: only in A; verify: in the file, missing in the unit
    OnlyInB,  // diff: only in B; verify: in the unit, not in the file (extra)
    OtherId,  // verify: the same number holds another ID
    OtherFloors,
    OtherComment,
};

struct KeyDifference {
    DifferenceKind kind;
    int numberA = 0;  // 0 when the key is not in A
    int numberB = 0;  // 0 when the key is not in B
};

// Keys matched by their ID bytes, in key order (a repeated ID is matched with the same
// repetition on the other side): keys only in A, only in B, and matched keys whose floors or
// comments differ.
std::vector<KeyDifference> DiffById(const ComparedList& a, const ComparedList& b);

// Keys compared number by number: missing (only in A), extra (only in B), another ID, other
// floors, other comment.
std::vector<KeyDifference> DiffByNumber(const ComparedList& a, const ComparedList& b);

// The floors a key opens joined by `separator`, e.g. "1, 2, 24"; empty for none.
std::string FloorNumbers(const TKlic& key, const char* separator);

// The floors a key opens, e.g. "1 2 24", or "none".
std::string FloorList(const TKlic& key);

}  // namespace zak::ctl
