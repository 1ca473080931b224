#include "KeyListImport.h"

#include <algorithm>
#include <map>
#include <string_view>

#include "Cp1250.h"
#include "HexDigit.h"
#include "IniFile.h"

namespace zak {

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
constexpr const char* Header[] = {"number", "ID", "comment", "floors"};
constexpr const char* HeaderText = "number,ID,comment,floors";

struct Row {
    int line = 0;
    std::vector<std::string> fields;
};

// Splits the text into rows of fields. Counts lines as it goes, line ends inside
// quoted fields included, so that each row knows the line it starts on.
class CsvReader {
  public:
    CsvReader(std::string_view text, char separator) : t_(text), separator_(separator) {}

    // The next row, or false at the end of the text or at a broken quotation (error set).
    bool next(Row& row, std::vector<KeyListError>& errors) {
        if (pos_ >= t_.size())
            return false;
        row.line = line_;
        row.fields.clear();
        for (;;) {
            std::string field;
            if (pos_ < t_.size() && t_[pos_] == '"') {
                if (!quoted(field, errors))
                    return false;
            } else {
                while (pos_ < t_.size() && !atFieldEnd())
                    field += t_[pos_++];
            }
            row.fields.push_back(std::move(field));
            if (pos_ < t_.size() && t_[pos_] == separator_) {
                ++pos_;
                continue;
            }
            skipLineEnd();
            return true;
        }
    }

  private:
    bool atFieldEnd() const {
        return t_[pos_] == separator_ || t_[pos_] == '\r' || t_[pos_] == '\n';
    }

    // A line end of CR LF, LF or CR at pos_, if there is one.
    void skipLineEnd() {
        if (pos_ >= t_.size())
            return;
        if (t_[pos_] == '\r' && pos_ + 1 < t_.size() && t_[pos_ + 1] == '\n')
            ++pos_;
        ++pos_;
        ++line_;
    }

    bool quoted(std::string& field, std::vector<KeyListError>& errors) {
        const int opened = line_;
        ++pos_;
        for (;;) {
            if (pos_ >= t_.size()) {
                errors.push_back({opened, "a quoted field is not closed"});
                return false;
            }
            const char c = t_[pos_++];
            if (c == '"') {
                if (pos_ < t_.size() && t_[pos_] == '"') {
                    field += '"';
                    ++pos_;
                    continue;
                }
                break;
            }
            field += c;
            if (c == '\n' || (c == '\r' && (pos_ >= t_.size() || t_[pos_] != '\n')))
                ++line_;
        }
        if (pos_ < t_.size() && !atFieldEnd()) {
            errors.push_back({line_, "text follows the closing quotation mark of a field"});
            return false;
        }
        return true;
    }

    std::string_view t_;
    char separator_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool sameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return (x >= 'A' && x <= 'Z' ? x - 'A' + 'a' : x) ==
               (y >= 'A' && y <= 'Z' ? y - 'A' + 'a' : y);
    });
}

// A field as a message shows it: in quotation marks, control bytes as \xHH, cut short.
std::string shown(std::string_view s) {
    constexpr std::size_t Longest = 30;
    std::string out = "'";
    std::size_t i = 0;
    for (; i < s.size() && i < Longest; ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x20 || c == 0x7F) {
            static const char digits[] = "0123456789ABCDEF";
            out += "\\x";
            out += digits[c >> 4];
            out += digits[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    if (i < s.size()) {
        // A character cut in the middle goes whole.
        const auto byte = [&out] { return static_cast<unsigned char>(out.back()); };
        if ((static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) {
            while (out.size() > 1 && (byte() & 0xC0) == 0x80)
                out.pop_back();
            if (out.size() > 1 && byte() >= 0xC0)
                out.pop_back();
        }
        out += "...";
    }
    return out + "'";
}

// A whole decimal number from low to high, or 0.
int wholeNumber(std::string_view s, int low, int high) {
    if (s.empty() || s.size() > 6)
        return 0;
    int n = 0;
    for (const char c : s) {
        if (c < '0' || c > '9')
            return 0;
        n = n * 10 + (c - '0');
    }
    return n >= low && n <= high ? n : 0;
}

bool allHex(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return HexDigit(c) >= 0; });
}

// A key read from a row, before it takes its place in the table.
struct ReadKey {
    int number = 0;
    TKlic klic;
};

class RowChecker {
  public:
    explicit RowChecker(std::vector<KeyListError>& errors) : errors_(errors) {}

    // Reads one row into key; false when the row is refused.
    bool read(const Row& row, ReadKey& key) {
        line_ = row.line;
        const std::size_t before = errors_.size();
        if (row.fields.size() != 4) {
            fail("has " + std::to_string(row.fields.size()) + " fields, not 4 (" + HeaderText +
                 ")");
            return false;
        }
        number(row.fields[0], key);
        id(row.fields[1], key.klic);
        comment(row.fields[2], key.klic);
        floors(row.fields[3], key.klic);
        return errors_.size() == before;
    }

  private:
    void fail(std::string message) { errors_.push_back({line_, std::move(message)}); }

    void number(std::string_view field, ReadKey& key) {
        const std::string_view s = trimmed(field);
        key.number = wholeNumber(s, 1, MaxKlicu);
        if (key.number == 0) {
            fail("key number " + shown(s) + " is not a whole number from 1 to " +
                 std::to_string(MaxKlicu));
            return;
        }
        const auto [first, added] = lines_.emplace(key.number, line_);
        if (!added) {
            fail("key number " + std::to_string(key.number) + " is used again (first on line " +
                 std::to_string(first->second) + ")");
        }
    }

    void id(std::string_view field, TKlic& klic) {
        const std::string_view s = trimmed(field);
        if (s.empty())
            return;  // a key without an ID, as a newly added key is
        if (s.size() != 2 * DelkaKodu || !allHex(s)) {
            std::string message = "ID " + shown(s) + " is not 14 hex digits";
            if (s.size() < 2 * DelkaKodu && allHex(s))
                message += " (were leading zeros dropped?)";
            fail(message);
            return;
        }
        klic.Kod = ID2Kod(std::string(s)).Kod;
        klic.ID = Kod2ID(klic.Kod);
    }

    void comment(std::string_view field, TKlic& klic) {
        if (field.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
            fail("comment holds a line break or a zero byte, which a key list file cannot keep");
            return;
        }
        TextConversion c = Utf8ToCp1250(field);
        if (!c.ok()) {
            fail("comment " + c.error);
            return;
        }
        if (c.text.size() > IniFile::MaxValueLength) {
            fail("comment is " + std::to_string(c.text.size()) +
                 " bytes long in Windows-1250; a key list file keeps at most " +
                 std::to_string(IniFile::MaxValueLength));
            return;
        }
        klic.Komentar = std::move(c.text);
    }

    void floors(std::string_view field, TKlic& klic) {
        std::size_t pos = 0;
        for (;;) {
            pos = field.find_first_not_of(" \t,", pos);
            if (pos == std::string_view::npos)
                return;
            const std::size_t end = std::min(field.find_first_of(" \t,", pos), field.size());
            const std::string_view token = field.substr(pos, end - pos);
            const int floor = wholeNumber(token, 1, PocetPater);
            if (floor == 0)
                fail("floor " + shown(token) + " is not a number from 1 to 24");
            else
                klic.Patra[floor - 1] = 1;
            pos = end;
        }
    }

    std::vector<KeyListError>& errors_;
    std::map<int, int> lines_;  // key number -> the line that gave it
    int line_ = 0;
};

bool isHeader(const Row& row) {
    if (row.fields.size() != 4)
        return false;
    for (std::size_t i = 0; i < 4; ++i) {
        if (!sameName(trimmed(row.fields[i]), Header[i]))
            return false;
    }
    return true;
}

bool isEmptyLine(const Row& row) {
    return row.fields.size() == 1 && row.fields[0].empty();
}

// Semicolons when the header row is separated by them, else commas.
char separatorOf(std::string_view text) {
    const std::string_view firstLine = text.substr(0, text.find_first_of("\r\n"));
    return firstLine.find(';') != std::string_view::npos &&
                   firstLine.find(',') == std::string_view::npos
               ? ';'
               : ',';
}

}  // namespace

std::vector<KeyListError> CsvToKeys(const std::string& utf8Csv, KeyTable& t) {
    std::string_view text = utf8Csv;
    if (text.substr(0, ByteOrderMark.size()) == ByteOrderMark)
        text.remove_prefix(ByteOrderMark.size());

    std::vector<KeyListError> errors;
    CsvReader reader(text, separatorOf(text));
    Row row;
    if (!reader.next(row, errors)) {
        if (errors.empty())
            errors.push_back(
                {1, std::string("the file is empty; it must start with the header ") + HeaderText});
        return errors;
    }
    if (!isHeader(row)) {
        errors.push_back({row.line, std::string("the first row must be the header ") + HeaderText});
        return errors;
    }

    std::vector<ReadKey> keys;
    RowChecker checker(errors);
    int rows = 0;
    while (reader.next(row, errors)) {
        if (isEmptyLine(row))
            continue;
        if (++rows > MaxKlicu) {
            errors.push_back({row.line, "more than " + std::to_string(MaxKlicu) + " keys"});
            break;
        }
        ReadKey key;
        if (checker.read(row, key))
            keys.push_back(std::move(key));
    }
    if (!errors.empty())
        return errors;

    std::sort(keys.begin(), keys.end(),
              [](const ReadKey& a, const ReadKey& b) { return a.number < b.number; });
    t.vymazVse();
    t.PocetKlicu = static_cast<std::uint16_t>(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i)
        t.klic(static_cast<int>(i) + 1) = std::move(keys[i].klic);
    return errors;
}

}  // namespace zak
