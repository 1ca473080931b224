#pragma once

#include <string>
#include <vector>

#include "KeyTable.h"

namespace zak {

// Reads a key list back from CSV in UTF-8, as KeysToCsv writes it or a spreadsheet saves
// it. Every row is checked, and nothing is taken unless every row is sound.

// One refusal: the line of the file (counted from 1) where the row starts, and what is
// wrong with it, in English.
struct KeyListError {
    int line = 0;
    std::string message;
    std::string text() const { return "line " + std::to_string(line) + ": " + message; }
};

// The file: an optional UTF-8 byte order mark, the header row number,ID,comment,floors
// (names in any letter case), then one row per key. Fields are separated by commas, or
// by semicolons when the header is (as spreadsheets with a decimal comma save it);
// quoted as RFC 4180 allows, lines ending in CR LF, LF or CR; empty lines are skipped.
// Each row:
// - number: a whole number from 1 to 2000, each used once. The keys take the numbers
//   1..N in the order of these numbers, so rows may come in any order and a deleted row
//   leaves no gap.
// - ID: 14 hex digits in either case, stored in upper case, or empty for a key without
//   an ID. A shorter ID is refused: a spreadsheet that read it as a number has dropped
//   its leading zeros.
// - comment: converted to Windows-1250; refused when it holds a character the code page
//   cannot hold, is not valid UTF-8, holds a line break or a zero byte, or is longer
//   than a key list file keeps (IniFile::MaxValueLength bytes).
// - floors: numbers from 1 to 24 separated by blanks or commas; empty for none.
// At most 2000 keys.
// On success the table is blanked and its settings returned to their start values, as
// a key list file load leaves them, then filled; the result is empty. Otherwise the
// table is not touched and every refusal is returned in the order of the file; a row
// may give several. A broken quotation (an unclosed quoted field, text after a closing
// quotation mark) ends the reading.
std::vector<KeyListError> CsvToKeys(const std::string& utf8Csv, KeyTable& t);

}  // namespace zak
