#pragma once

#include <stdexcept>
#include <string>

#include "KeyTable.h"

namespace zak {

// Keys 1..PocetKlicu as text for spreadsheets and scripts, in UTF-8: each key's number,
// its ID text as the table holds it (normally 14 upper-case hex digits; empty for a key
// without one), its comment converted from Windows-1250, and its floors.

// A key whose ID or comment holds a byte that Windows-1250 does not define cannot be
// written as UTF-8 without changing it, so the export refuses the whole list.
// what() is for the operator, e.g. "key 12: comment has byte 0x81, which Windows-1250
// does not define".
class KeyExportError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// RFC 4180 CSV with CR LF line ends: the header row "number,ID,comment,floors", then
// one row per key; floors are the floor numbers in ascending order separated by blanks
// ("1 5 24", empty for none). A field holding a comma, a quotation mark or a line end
// is quoted, its quotation marks doubled. No byte order mark. Throws KeyExportError.
std::string KeysToCsv(const KeyTable& t);

// A JSON array with one object per key and line:
//   {"number": 1, "id": "0A1B2C3D4E5F60", "comment": "Kancelář", "floors": [1, 5, 24]}
// Quotation marks, backslashes and control characters in texts are escaped; other
// characters are written as UTF-8. An empty list is "[]". Throws KeyExportError.
std::string KeysToJson(const KeyTable& t);

// A UTF-8 text as a JSON string, quotation marks included: quotation marks, backslashes and
// control characters escaped, everything else as it stands.
std::string JsonString(const std::string& s);

}  // namespace zak
