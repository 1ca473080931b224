#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "KeyTable.h"

namespace zak {

// Editing operations on the key table, as the key panel and the key commands use
// them. None of them touches the memory image: the caller converts afterwards.

// The number rule of the panel's numeric fields: leading blanks, an optional sign,
// then decimal digits, or hex digits after "$", "x", "X", "0x" or "0X". The digits
// must run to the end of the text. A decimal value outside the signed 32-bit range
// or more than eight hex digits is not a number.
std::optional<std::int32_t> CtiCislo(const std::string& text);

// Deletes key n (1..PocetKlicu): the keys after it move down one place and the
// vacated record is blanked. False, with nothing changed, when n is not a key.
bool SmazKlic(KeyTable& t, int n);

// Flips all 24 floors of key n. False when n is not a key.
bool InvertujPatra(KeyTable& t, int n);

// Upper case as the ID and number fields take it: a to z become A to Z, every other
// character stays as it is.
constexpr char VelkePismeno(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Sets the ID of key n from the text the operator entered (letters a-z are taken
// as upper case). False when n is not a key.
bool NastavID(KeyTable& t, int n, const std::string& text);

// Sets the comment of key n exactly as given. False when n is not a key.
bool NastavKomentar(KeyTable& t, int n, const std::string& text);

// Sets floor `patro` (1..24) of record n, also of a record above the key count.
// False when n or the floor is out of range (no record is current yet).
bool NastavPatro(KeyTable& t, int n, int patro, bool povoleno);

// Result of a settings change that the capacity of the memory image can refuse.
struct ZmenaNastaveni {
    bool prijata;
    int kapacita;  // the capacity that refused it, when not accepted
};

// The comment length from the operator's text: 30 for a text that is not a number
// or a value outside 1..50. While comments are stored, a length under which the
// current keys would not fit is refused and the length keeps its value.
ZmenaNastaveni NastavDelkuKomentare(KeyTable& t, const std::string& text);

// Turns storing of comments on or off. Turning it on is refused when the current
// keys would not fit with their comments.
ZmenaNastaveni NastavUkladatKomentare(KeyTable& t, bool ukladat);

// The load limit from the operator's text: 2000 for a text that is not a number,
// otherwise the number modulo 65536.
void NastavLimitNacitani(KeyTable& t, const std::string& text);

}  // namespace zak
