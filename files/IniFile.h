#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zak {

// An initialisation-format text held in memory: read with the rules the key list
// files have always been read with, and updated in place so that a save keeps every
// byte it does not change. Plain bytes throughout: names and values are 8-bit text
// (Windows-1250 in key list files) and are never converted.
//
// Reading rules:
// - A UTF-8 byte order mark at the start is skipped, and kept when the text is written.
// - A line ends at CR LF, at LF or at CR alone; the last line may have no end.
// - A line whose first non-blank character is '[' and that holds a ']' opens a
//   section; its name is the text between '[' and the first ']', blanks trimmed.
//   What follows the ']' is ignored. A '[' line without ']' is neither section nor key.
// - A line whose first non-blank character is ';' is a comment.
// - Any other line holding '=' is a key: name and value are split at the first '=' and
//   trimmed of blanks (space, tab, vertical tab, form feed). A line without '=' is no key.
// - Names of sections and keys match without regard to ASCII letter case; when two
//   sections or two keys of one section share a name, the first one counts. Lines
//   before the first section belong to no section and cannot be read.
// - A value of at least two characters that starts and ends with the same quotation
//   mark (" or ') loses that one pair. At most MaxValueLength characters are returned.
// Any bytes are accepted, a zero byte included; nothing is rejected.
//
// Writing: setValue replaces the value of the key in the first section of that name,
// adds a missing key after the last key of its section (right after the section's
// line when it has none) and a missing section at the end of the text. New lines end
// in CR LF. bytes() gives the updated text; every byte that no call replaced is kept.
class IniFile {
  public:
    static constexpr std::size_t MaxValueLength = 2047;

    // Takes the text and indexes its sections. Never fails.
    explicit IniFile(std::string text = {});

    // The value of a key as the reading rules give it, or nothing when the section or
    // the key is missing. Values set since construction are returned as a later read
    // of bytes() would return them.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    std::string readString(std::string_view section, std::string_view key,
                           const std::string& fallback) const;

    // The value read as an integer (see parseInteger), or fallback when the key is
    // missing or its value is not a number.
    int readInteger(std::string_view section, std::string_view key, int fallback) const;

    // Sets a value. CR, LF and zero bytes in it become blanks, so that every value
    // stays one line and cannot plant a key of its own. A value whose trimmed text is
    // enclosed in a pair of quotation marks is written inside one more pair of double
    // quotation marks, so that reading gives it back with its own pair.
    // Section and key names must hold no line end; a key name no '=' and a section
    // name no ']', and neither may start with a blank, ';' or '['.
    void setValue(std::string_view section, std::string_view key, std::string_view value);

    // The text with every value set so far.
    std::string bytes() const;

    // An integer value: decimal with an optional sign; hexadecimal after "$", or after
    // "0x" / "0X" when the value has more than two characters. Nothing else may follow
    // the digits, and the number must fit in an int. Otherwise gives nothing.
    static std::optional<int> parseInteger(std::string_view text);

  private:
    struct Span {
        std::size_t begin = 0;
        std::size_t end = 0;
    };
    struct AddedKey {
        std::string name;
        std::string raw;  // as written into the text
    };
    struct Section {
        std::string name;          // as given, for sections added by setValue
        bool added = false;        // not in the original text
        std::size_t insertAt = 0;  // where new keys go: after the last key line
        // Lower-case key name -> value span of its first line in the original text.
        std::unordered_map<std::string, Span> keys;
        std::vector<AddedKey> addedKeys;
    };
    struct Replacement {
        std::size_t valueEnd = 0;
        std::string raw;
    };

    Section* findSection(std::string_view name);
    const Section* findSection(std::string_view name) const;
    // The value span of the first key of that name in the original text, if any.
    static std::optional<Span> findOriginalKey(const Section& s, std::string_view key);
    std::optional<std::string> rawValue(const Section& s, std::string_view key) const;

    std::string text_;
    std::size_t start_ = 0;  // after a byte order mark
    std::vector<Section> sections_;
    std::unordered_map<std::string, std::size_t> sectionIndex_;  // lower-case name -> index
    std::unordered_map<std::size_t, Replacement> replaced_;      // value start -> new value
};

}  // namespace zak
