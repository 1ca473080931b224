#pragma once

#include <string>
#include <string_view>

namespace zak {

// Conversion between the key table's Windows-1250 texts and UTF-8, through glibc's
// iconv. Nothing is dropped or replaced: a text that cannot be converted whole is
// refused, and the error names the first byte or character at fault.

struct TextConversion {
    std::string text;   // the converted text; empty when the conversion failed
    std::string error;  // empty on success; otherwise English words that follow the name
                        // of what was converted, e.g. "comment " + error
    bool ok() const { return error.empty(); }
};

// Each byte becomes its character. Errors: "has byte 0x81, which Windows-1250 does not
// define" (0x81, 0x83, 0x88, 0x90 and 0x98 are not defined).
TextConversion Cp1250ToUtf8(std::string_view cp1250);

// Each character becomes its byte. Errors: "has a character that Windows-1250 cannot
// hold: 'ñ' (U+00F1)" and "is not valid UTF-8 (byte 0xFF at position 3)", positions
// in bytes counted from 1.
TextConversion Utf8ToCp1250(std::string_view utf8);

}  // namespace zak
