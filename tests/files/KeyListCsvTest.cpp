// Key lists as CSV and JSON for spreadsheets and scripts: UTF-8 outside, the key
// table's Windows-1250 bytes inside, byte for byte.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Cp1250.h"
#include "KeyListExport.h"
#include "KeyListImport.h"

namespace zak {
namespace {

using namespace std::string_literals;

// The same Czech text in Windows-1250 and in UTF-8, each written out byte by byte.
const std::string CzechCp1250 = "\xEC\x9A\xE8\xF8\x9E\xFD\xE1\xED\xE9\xF9\xFA \xCC\x8A\xC8\xD8\x8E";
const std::string CzechUtf8 =
    "\xC4\x9B\xC5\xA1\xC4\x8D\xC5\x99\xC5\xBE\xC3\xBD\xC3\xA1\xC3\xAD\xC3\xA9\xC5\xAF\xC3\xBA "
    "\xC4\x9A\xC5\xA0\xC4\x8C\xC5\x98\xC5\xBD";

TKlic key(const std::string& id, const std::string& comment, std::vector<int> floors) {
    TKlic k;
    k.ID = id;
    k.Kod = ID2Kod(id).Kod;
    k.Komentar = comment;
    for (int f : floors)
        k.Patra[f - 1] = 1;
    return k;
}

std::unique_ptr<KeyTable> table(std::vector<TKlic> keys) {
    auto t = std::make_unique<KeyTable>();
    t->PocetKlicu = static_cast<std::uint16_t>(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i)
        t->klic(static_cast<int>(i) + 1) = keys[i];
    return t;
}

std::vector<std::string> errorTexts(const std::vector<KeyListError>& errors) {
    std::vector<std::string> texts;
    for (const KeyListError& e : errors)
        texts.push_back(e.text());
    return texts;
}

TEST(Cp1250, EveryDefinedByteComesBackAndTheOthersAreRefused) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const TextConversion utf8 = Cp1250ToUtf8(byte);
        if (b == 0x81 || b == 0x83 || b == 0x88 || b == 0x90 || b == 0x98) {
            EXPECT_FALSE(utf8.ok()) << b;
            continue;
        }
        ASSERT_TRUE(utf8.ok()) << b << ": " << utf8.error;
        EXPECT_EQ(Utf8ToCp1250(utf8.text).text, byte) << b;
    }
    EXPECT_EQ(Cp1250ToUtf8(CzechCp1250).text, CzechUtf8);
    EXPECT_EQ(Utf8ToCp1250(CzechUtf8).text, CzechCp1250);
}

TEST(KeyListCsv, WritesTheHeaderQuotedFieldsAndFloors) {
    const auto t = table({
        key("0A1B2C3D4E5F60", "Kancel\xE1\xF8 5", {1, 5, 24}),
        key("", "\"VIP\", hall", {}),
        key("0102030405060A", "two\r\nlines", {12}),
    });
    EXPECT_EQ(KeysToCsv(*t),
              "number,ID,comment,floors\r\n"
              "1,0A1B2C3D4E5F60,Kancel\xC3\xA1\xC5\x99 5,1 5 24\r\n"
              "2,,\"\"\"VIP\"\", hall\",\r\n"
              "3,0102030405060A,\"two\r\nlines\",12\r\n");
    EXPECT_EQ(KeysToCsv(*table({})), "number,ID,comment,floors\r\n");
}

TEST(KeyListCsv, RoundTripKeepsEveryByte) {
    std::vector<TKlic> keys = {
        key("0A1B2C3D4E5F60", CzechCp1250, {1, 24}),
        key("", "", {}),
        key("FFFFFFFFFFFFFF", "  blanks, \"quotes\"; semicolon  ", {}),
        key("00000000000001", "Kancel\xE1\xF8 \x80 5",
            {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,
             13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24}),
    };
    while (keys.size() < MaxKlicu) {
        const int n = static_cast<int>(keys.size()) + 1;
        char id[16];
        std::snprintf(id, sizeof id, "%014X", n * 7919);
        keys.push_back(key(id, "Kl\xED\xE8 " + std::to_string(n), {n % 24 + 1}));
    }
    const auto t = table(keys);
    const std::string csv = KeysToCsv(*t);
    EXPECT_NE(csv.find(CzechUtf8), std::string::npos);

    auto loaded = std::make_unique<KeyTable>();
    loaded->DelkaKomentare = 12;
    ASSERT_EQ(errorTexts(CsvToKeys(csv, *loaded)), std::vector<std::string>{});
    EXPECT_EQ(loaded->PocetKlicu, MaxKlicu);
    EXPECT_EQ(loaded->DelkaKomentare, 30);  // as after loading a key list file
    for (int k = 1; k <= MaxKlicu; ++k)
        ASSERT_EQ(loaded->klic(k), t->klic(k)) << "key " << k;
}

TEST(KeyListCsv, ReadsWhatSpreadsheetsSave) {
    // A byte order mark, semicolons, LF and CR line ends, rows sorted by comment with a
    // row deleted, a lower-case ID, blanks around fields, an empty line.
    const std::string csv =
        "\xEF\xBB\xBFNumber;id;Comment;FLOORS\n"
        "5;0a1b2c3d4e5f60;a, first;\"1,5, 24\"\r"
        "\n"
        " 2 ; 00000000000002 ;b;3\n";
    auto t = std::make_unique<KeyTable>();
    ASSERT_EQ(errorTexts(CsvToKeys(csv, *t)), std::vector<std::string>{});
    ASSERT_EQ(t->PocetKlicu, 2);
    EXPECT_EQ(t->klic(1), key("00000000000002", "b", {3}));
    EXPECT_EQ(t->klic(2), key("0A1B2C3D4E5F60", "a, first", {1, 5, 24}));
}

struct BadCsv {
    const char* what;
    std::string rows;  // after the header line
    std::vector<std::string> errors;
};

TEST(KeyListCsv, RefusesBadRowsNamingTheirLines) {
    const std::string id = "0A1B2C3D4E5F60";
    std::string c20, c14;  // the letter c with caron, twenty and fourteen times
    for (int i = 0; i < 20; ++i)
        (i < 14 ? c14 : c20) += "\xC4\x8D";
    c20 = c14 + c20;
    const BadCsv cases[] = {
        {"ID not hex",
         "1,01234G6789ABCD,,\n",
         {"line 2: ID '01234G6789ABCD' is not 14 hex digits"}},
        {"ID too short",
         "1,12AB,,\n",
         {"line 2: ID '12AB' is not 14 hex digits (were leading zeros dropped?)"}},
        {"ID too long",
         "1,0A1B2C3D4E5F6070,,\n",
         {"line 2: ID '0A1B2C3D4E5F6070' is not 14 hex digits"}},
        {"ID as a spreadsheet number",
         "1,1.23E+13,,\n",
         {"line 2: ID '1.23E+13' is not 14 hex digits"}},
        {"a long field shown cut at a whole character",
         "1,x" + c20 + ",,\n",
         {"line 2: ID 'x" + c14 + "...' is not 14 hex digits"}},
        {"floors 0, 25 and x",
         "1," + id + ",,0 25 x 3\n",
         {"line 2: floor '0' is not a number from 1 to 24",
          "line 2: floor '25' is not a number from 1 to 24",
          "line 2: floor 'x' is not a number from 1 to 24"}},
        {"a character outside the code page",
         "1," + id +
             ",Pe\xC3\xB1"
             "a,\n",
         {"line 2: comment has a character that Windows-1250 cannot hold: '\xC3\xB1' (U+00F1)"}},
        {"a character beyond the basic plane",
         "1," + id + ",\xF0\x9F\x94\x91,\n",
         {"line 2: comment has a character that Windows-1250 cannot hold: '\xF0\x9F\x94\x91' "
          "(U+1F511)"}},
        {"invalid UTF-8",
         "1," + id + ",ab\xFF,\n",
         {"line 2: comment is not valid UTF-8 (byte 0xFF at position 3)"}},
        {"a character cut short",
         "1," + id + ",ab\xC5,\n",
         {"line 2: comment is not valid UTF-8 (byte 0xC5 at position 3)"}},
        {"a line break in a comment, and the next row's line",
         "1," + id +
             ",\"two\nlines\",\n"
             "2,x,,\n",
         {"line 2: comment holds a line break or a zero byte, which a key list file cannot keep",
          "line 4: ID 'x' is not 14 hex digits"}},
        {"a comment longer than a key list file keeps",
         "1," + id + "," + std::string(2048, 'c') + ",\n",
         {"line 2: comment is 2048 bytes long in Windows-1250; a key list file keeps at most "
          "2047"}},
        {"key numbers",
         "0,,,\nx,,,\n2001,,,\n7,,,\n\n7,,,\n",
         {"line 2: key number '0' is not a whole number from 1 to 2000",
          "line 3: key number 'x' is not a whole number from 1 to 2000",
          "line 4: key number '2001' is not a whole number from 1 to 2000",
          "line 7: key number 7 is used again (first on line 5)"}},
        {"too few fields",
         "1," + id + ",a\n",
         {"line 2: has 3 fields, not 4 (number,ID,comment,floors)"}},
        {"an unclosed quotation",
         "1," + id + ",ok,\n2," + id + ",\"open\n3,,,\n",
         {"line 3: a quoted field is not closed"}},
        {"text after a closing quotation",
         "1," + id + ",\"a\"b,\n",
         {"line 2: text follows the closing quotation mark of a field"}},
    };
    for (const BadCsv& c : cases) {
        auto t = table({key(id, "kept", {2})});
        EXPECT_EQ(errorTexts(CsvToKeys("number,ID,comment,floors\n" + c.rows, *t)), c.errors)
            << c.what;
        EXPECT_EQ(t->PocetKlicu, 1) << c.what;
        EXPECT_EQ(t->klic(1).Komentar, "kept") << c.what;
    }
}

TEST(KeyListCsv, RefusesAFileWithoutHeaderOrWithTooManyKeys) {
    auto t = std::make_unique<KeyTable>();
    EXPECT_EQ(errorTexts(CsvToKeys("", *t)),
              std::vector<std::string>{"line 1: the file is empty; it must start with the header "
                                       "number,ID,comment,floors"});
    EXPECT_EQ(errorTexts(CsvToKeys("1,0A1B2C3D4E5F60,a,1\r\n", *t)),
              std::vector<std::string>{
                  "line 1: the first row must be the header number,ID,comment,floors"});

    std::string csv = "number,ID,comment,floors\n";
    for (int k = 1; k <= MaxKlicu + 1; ++k)
        csv += std::to_string(k) + ",,,\n";
    EXPECT_EQ(errorTexts(CsvToKeys(csv, *t)),
              std::vector<std::string>{"line 2002: more than 2000 keys"});
    EXPECT_EQ(t->PocetKlicu, 0);
}

TEST(KeyListCsv, ExportRefusesAByteTheCodePageDoesNotDefine) {
    const auto t = table({key("01", "ok", {}), key("02", "a\x81z", {})});
    try {
        KeysToCsv(*t);
        FAIL() << "exported";
    } catch (const KeyExportError& e) {
        EXPECT_STREQ(e.what(), "key 2: comment has byte 0x81, which Windows-1250 does not define");
    }
    EXPECT_THROW(KeysToJson(*t), KeyExportError);
}

TEST(KeyListJson, EscapesQuotesBackslashesAndControlCharacters) {
    const auto t = table({
        key("0A1B2C3D4E5F60", "say \"hi\" \\ " + CzechCp1250, {1, 5, 24}),
        key("", "tab\there\nnew\x01\x1F\x7F", {}),
    });
    EXPECT_EQ(KeysToJson(*t),
              "[\n"
              "  {\"number\": 1, \"id\": \"0A1B2C3D4E5F60\", \"comment\": \"say \\\"hi\\\" \\\\ " +
                  CzechUtf8 +
                  "\", \"floors\": [1, 5, 24]},\n"
                  "  {\"number\": 2, \"id\": \"\", \"comment\": "
                  "\"tab\\there\\nnew\\u0001\\u001F\x7F\", \"floors\": []}\n"
                  "]\n");
    EXPECT_EQ(KeysToJson(*table({})), "[]\n");
}

}  // namespace
}  // namespace zak
