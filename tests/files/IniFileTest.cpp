#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "IniFile.h"

namespace zak {
namespace {

using namespace std::string_literals;

struct ReadCase {
    const char* what;
    std::string text;
    const char* section;
    const char* key;
    std::optional<std::string> expected;
};

class IniReading : public testing::TestWithParam<ReadCase> {};

TEST_P(IniReading, GivesTheValueTheRulesSay) {
    const ReadCase& c = GetParam();
    EXPECT_EQ(IniFile(c.text).value(c.section, c.key), c.expected) << c.what;
}

const std::string kLong(3000, 'a');

INSTANTIATE_TEST_SUITE_P(
    Rules, IniReading,
    testing::Values(
        ReadCase{"CR LF lines", "[S]\r\nk=v\r\nj=w\r\n", "S", "j", "w"},
        ReadCase{"LF lines", "[S]\nk=v\nj=w\n", "S", "j", "w"},
        ReadCase{"CR lines", "[S]\rk=v\rj=w\r", "S", "j", "w"},
        ReadCase{"mixed ends, last line open", "[S]\nk=1\r\nj=2\rm=3", "S", "m", "3"},
        ReadCase{"blanks around a section name", "[ \tS  ]\nk=v", "S", "k", "v"},
        ReadCase{"text after the bracket", "[S] junk\nk=v", "S", "k", "v"},
        ReadCase{"names match in any case", "[obecne]\nPOCETklicu=5", "Obecne", "PocetKlicu", "5"},
        ReadCase{"name and value trimmed", "[S]\n \tk \v=  v w \t\f\n", "S", "k", "v w"},
        ReadCase{"split at the first equals sign", "[S]\nk=a=b", "S", "k", "a=b"},
        ReadCase{"empty value", "[S]\nk=\n", "S", "k", ""},
        ReadCase{"a line without equals sign", "[S]\nk\n", "S", "k", std::nullopt},
        ReadCase{"a comment", "[S]\n;k=v\n", "S", ";k", std::nullopt},
        ReadCase{"an indented comment", "[S]\n  ;k=v\n", "S", ";k", std::nullopt},
        ReadCase{"a hash is no comment", "[S]\n#k=v\n", "S", "#k", "v"},
        ReadCase{"an inline semicolon is value", "[S]\nk=v ; c\n", "S", "k", "v ; c"},
        ReadCase{"first of two sections", "[S]\nk=1\n[s]\nk=2\nj=3\n", "S", "k", "1"},
        ReadCase{"keys of a second section ignored", "[S]\nk=1\n[s]\nj=3\n", "S", "j",
                 std::nullopt},
        ReadCase{"first of two keys", "[S]\nk=1\nK=2\n", "S", "k", "1"},
        ReadCase{"a byte order mark before the first section", "\xEF\xBB\xBF[S]\nk=v", "S", "k",
                 "v"},
        ReadCase{"lines before the first section", "k=0\n[S]\nj=1\n", "S", "k", std::nullopt},
        ReadCase{"open bracket line is nothing", "[S]\n[T\nk=v\n", "S", "k", "v"},
        ReadCase{"missing section", "[S]\nk=v\n", "T", "k", std::nullopt},
        ReadCase{"missing key", "[S]\nk=v\n", "S", "j", std::nullopt},
        ReadCase{"double quotes removed", "[S]\nk=\"x\"", "S", "k", "x"},
        ReadCase{"single quotes removed", "[S]\nk='x y'", "S", "k", "x y"},
        ReadCase{"quotes after trimming", "[S]\nk=  \"x\"  ", "S", "k", "x"},
        ReadCase{"only one pair removed", "[S]\nk=\"\"x\"\"", "S", "k", "\"x\""},
        ReadCase{"empty quotes", "[S]\nk=\"\"", "S", "k", ""},
        ReadCase{"one quote stays", "[S]\nk=\"", "S", "k", "\""},
        ReadCase{"unclosed quote stays", "[S]\nk=\"z", "S", "k", "\"z"},
        ReadCase{"quotes inside stay", "[S]\nk=a\"b\"", "S", "k", "a\"b\""},
        ReadCase{"different quotes stay", "[S]\nk=\"a'", "S", "k", "\"a'"},
        ReadCase{"zero byte is a byte", "[S]\nk=a\0b\n"s, "S", "k", "a\0b"s},
        ReadCase{"at most 2047 characters", "[S]\nk=" + kLong, "S", "k", kLong.substr(0, 2047)},
        ReadCase{"cut after unquoting", "[S]\nk=\"" + kLong + "\"", "S", "k",
                 kLong.substr(0, 2047)}));

struct IntCase {
    const char* value;
    int expected;  // -7 is the fallback
};

TEST(IniInteger, ReadsDecimalAndHexOrGivesTheFallback) {
    const IntCase cases[] = {
        {"5", 5},
        {"08", 8},
        {"-3", -3},
        {"+4", 4},
        {"0x0A", 10},
        {"0X1f", 31},
        {"0x1", 1},
        {"$ff", 255},
        {"$", -7},
        {"0x", -7},
        {"x1", -7},
        {"12ab", -7},
        {"1.5", -7},
        {"", -7},
        {"abc", -7},
        {"2147483647", INT_MAX},
        {"2147483648", -7},
        {"-2147483648", INT_MIN},
        {"0x7FFFFFFF", INT_MAX},
        {"0x80000000", -7},
        {"1 2", -7},
    };
    for (const IntCase& c : cases) {
        const IniFile ini("[S]\nk= "s + c.value + " \n");
        EXPECT_EQ(ini.readInteger("S", "k", -7), c.expected) << "value '" << c.value << "'";
    }
    EXPECT_EQ(IniFile("[S]\n").readInteger("S", "k", -7), -7);
}

struct Set {
    const char* section;
    const char* key;
    std::string value;
};

struct WriteCase {
    const char* what;
    std::string before;
    std::vector<Set> sets;
    std::string after;
};

class IniWriting : public testing::TestWithParam<WriteCase> {};

TEST_P(IniWriting, ChangesOnlyWhatWasSet) {
    const WriteCase& c = GetParam();
    IniFile ini(c.before);
    for (const Set& s : c.sets)
        ini.setValue(s.section, s.key, s.value);
    const std::string out = ini.bytes();
    EXPECT_EQ(out, c.after) << c.what;
    // What was set reads back the same from memory and from the written text.
    const IniFile reread(out);
    for (const Set& s : c.sets) {
        EXPECT_EQ(reread.value(s.section, s.key), ini.value(s.section, s.key))
            << c.what << ": " << s.section << "/" << s.key;
    }
}

INSTANTIATE_TEST_SUITE_P(
    InPlace, IniWriting,
    testing::Values(
        WriteCase{"new file", "", {{"Obecne", "PocetKlicu", "0"}}, "[Obecne]\r\nPocetKlicu=0\r\n"},
        WriteCase{"a byte order mark alone is no line",
                  "\xEF\xBB\xBF",
                  {{"Obecne", "PocetKlicu", "0"}},
                  "\xEF\xBB\xBF[Obecne]\r\nPocetKlicu=0\r\n"},
        WriteCase{"value replaced, every other byte kept",
                  "; head\n\n[A]\nx = old  ; c\r\ny=2\n[B]\nx=3\n",
                  {{"A", "x", "new"}},
                  "; head\n\n[A]\nx = new\r\ny=2\n[B]\nx=3\n"},
        WriteCase{"new key after the last key of its section",
                  "[A]\nx=1\n\n;c\n[B]\n",
                  {{"A", "y", "2"}},
                  "[A]\nx=1\ny=2\r\n\n;c\n[B]\n"},
        WriteCase{"new key in a section without keys",
                  "[A]\n;c\n[B]",
                  {{"A", "k", "v"}},
                  "[A]\nk=v\r\n;c\n[B]"},
        WriteCase{"new section after an open last line",
                  "[A]\nx=1",
                  {{"B", "k", "v"}},
                  "[A]\nx=1\r\n[B]\r\nk=v\r\n"},
        WriteCase{"open last key line replaced and followed",
                  "[A]\nx=1",
                  {{"A", "x", "2"}, {"A", "y", "3"}},
                  "[A]\nx=2\r\ny=3\r\n"},
        WriteCase{"first of two sections, any case",
                  "[a]\nK=1\n[A]\nK=2\n",
                  {{"A", "k", "9"}},
                  "[a]\nK=9\n[A]\nK=2\n"},
        WriteCase{"the last of two sets counts, keys in order",
                  "",
                  {{"B", "k", "1"}, {"B", "j", "2"}, {"b", "K", "3"}},
                  "[B]\r\nk=3\r\nj=2\r\n"},
        WriteCase{"lines before the first section stay theirs",
                  "k=0\n[S]\n",
                  {{"S", "k", "1"}},
                  "k=0\n[S]\nk=1\r\n"},
        WriteCase{"line ends in a value become blanks",
                  "[S]\nk=1\n",
                  {{"S", "k", "a\r\nPatro01=1\rb\nc\0d"s}},
                  "[S]\nk=a  Patro01=1 b c d\n"},
        WriteCase{"a quoted value keeps its quotes",
                  "",
                  {{"S", "k", "\"x\""}, {"S", "j", " 'y' "}},
                  "[S]\r\nk=\"\"x\"\"\r\nj=\"'y'\"\r\n"},
        WriteCase{"an empty value", "[S]\nk=old", {{"S", "k", ""}}, "[S]\nk="}));

// A big section is indexed once: every key of it reads back, and is set, as the rules say.
TEST(IniFile, OneBigSection) {
    constexpr int n = 20'000;
    std::string text = "[Big]\r\n";
    for (int i = 0; i < n; ++i)
        text += "Key" + std::to_string(i) + "=v" + std::to_string(i) + "\r\n";
    text += "KEY7=a later duplicate\r\n[Next]\r\nk=1\r\n";
    IniFile ini(text);
    for (int i = 0; i < n; ++i)
        ASSERT_EQ(ini.value("big", "key" + std::to_string(i)), "v" + std::to_string(i));
    EXPECT_EQ(ini.value("Big", "Key" + std::to_string(n)), std::nullopt);

    ini.setValue("Big", "key7", "seven");
    ini.setValue("Big", "Key" + std::to_string(n - 1), "last");
    ini.setValue("Big", "New", "added");
    const IniFile reread(ini.bytes());
    EXPECT_EQ(reread.value("Big", "Key7"), "seven");
    EXPECT_EQ(reread.value("Big", "Key" + std::to_string(n - 1)), "last");
    EXPECT_EQ(reread.value("Big", "New"), "added");
    EXPECT_EQ(reread.value("Big", "Key8"), "v8");
    EXPECT_EQ(reread.value("Next", "k"), "1");
    EXPECT_NE(ini.bytes().find("KEY7=a later duplicate\r\nNew=added\r\n[Next]"), std::string::npos);
}

TEST(IniFile, AnyBytesReadWithoutChangeWhenNothingIsSet) {
    std::mt19937 random(4);
    std::vector<std::string> texts = {
        std::string(5'000'000, 'x'),              // one long line
        std::string(1'000'000, '['),              // an endless open bracket
        std::string(400'000, '\r') + "[S]\nk=v",  // many empty lines
    };
    std::string manyLines;
    for (int i = 0; i < 200'000; ++i)
        manyLines += "[S" + std::to_string(i % 1000) + "]\nk=v\n";
    texts.push_back(manyLines);
    for (int n = 0; n < 200; ++n) {
        std::string garbage(random() % 4000, '\0');
        for (char& c : garbage)
            c = static_cast<char>(random() % 16 == 0 ? "[]=;\r\n"[random() % 6] : random());
        texts.push_back(garbage);
    }
    for (const std::string& text : texts) {
        const IniFile ini(text);
        EXPECT_EQ(ini.bytes(), text);
        (void)ini.value("S", "k");
        (void)ini.readInteger("S1", "k", 0);
    }
}

}  // namespace
}  // namespace zak
