// zakctl's command line and files: usage, help, and input it must refuse without writing.
#include "ZakctlFixture.h"

namespace zak::test {
namespace {

TEST_F(ZakctlTest, EveryCommandHasHelpAndTheProgramAVersion) {
    for (const char* command :
         {"ports", "info", "read", "write", "verify", "last-key", "diff", "export", "import"}) {
        const Outcome r = Plain({command, "--help"});
        EXPECT_EQ(r.status, 0) << command;
        EXPECT_EQ(r.out.rfind(std::string("Usage: zakctl ") + command, 0), 0u) << r.out;
        EXPECT_TRUE(Contains(r.out, "Exit status: 0 done")) << command;
    }
    const Outcome version = Plain({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "zakctl 0.1\n");
}

TEST_F(ZakctlTest, ACsvRoundTripKeepsTheKeysAndTheirCzechLetters) {
    const Outcome csv = Plain({"export", Sample, "-o", dir.file("keys.csv")});
    ASSERT_EQ(csv.status, 0) << csv.err;
    const std::string text = readBytes(dir.file("keys.csv"));
    EXPECT_TRUE(Contains(text, "1,0A1B2C3D4E5F60,Vrátný,1\r\n")) << text;
    EXPECT_TRUE(Contains(text, "Kancelář ředitele")) << text;

    const Outcome back = Plain({"import", dir.file("keys.csv"), "-o", dir.file("back.ZAK")});
    ASSERT_EQ(back.status, 0) << back.err;
    const auto original = Load(Sample);
    const auto imported = Load(dir.file("back.ZAK"));
    ASSERT_EQ(imported->PocetKlicu, original->PocetKlicu);
    for (int n = 1; n <= original->PocetKlicu; ++n)
        EXPECT_EQ(imported->klic(n), original->klic(n)) << "key " << n;

    const Outcome json = Plain({"export", Sample, "--json"});
    EXPECT_EQ(json.status, 0);
    EXPECT_TRUE(Contains(json.out, "\"comment\": \"Úklid – čtvrtek\"")) << json.out;
}

struct BadInput {
    const char* what;
    std::vector<std::string> args;  // FILE stands for the test's input file
    const char* content;            // of the input file; nullptr: it does not exist
    int status;
    const char* message;
};

TEST_F(ZakctlTest, BadInputIsRefusedWithAMessageAndNothingWritten) {
    std::string many = "[Obecne]\r\nPocetKlicu=900\r\n";
    for (int k = 1; k <= 900; ++k)
        many += "[" + SekceKlice(k) + "]\r\nID=0000000000000" + std::to_string(k % 10) + "\r\n";
    const BadInput cases[] = {
        {"no command", {}, nullptr, 2, "no command given"},
        {"unknown command", {"erase"}, nullptr, 2, "unknown command erase"},
        {"unknown option",
         {"read", "--port", "COM1", "--speed", "9600"},
         nullptr,
         2,
         "unknown option --speed"},
        {"an option of another command",
         {"read", "--port", "COM1", "--no-backup"},
         nullptr,
         2,
         "read does not take --no-backup"},
        {"no port", {"info"}, nullptr, 2, "info needs --port"},
        {"a port the window does not have",
         {"info", "--port", "COM9"},
         nullptr,
         2,
         "--port takes COM1 to COM8"},
        {"retries not a number",
         {"info", "--port", "COM1", "--retries", "x"},
         nullptr,
         2,
         "--retries needs a whole number"},
        {"no file to write", {"write", "--port", "COM1"}, nullptr, 2, "write needs FILE.ZAK"},
        {"comment length alone",
         {"write", "--port", "COM1", "FILE", "--comment-length", "9"},
         "[Obecne]\nPocetKlicu=0\n",
         2,
         "--comment-length needs --comments"},
        {"a missing file", {"write", "--port", "COM1", "FILE"}, nullptr, 5, "no such file"},
        {"the backup over the list to write",
         {"write", "--port", "COM1", "FILE", "--backup", "FILE"},
         "[Obecne]\nPocetKlicu=0\n",
         2,
         "the backup must not go into"},
        {"the image over the key list",
         {"read", "--port", "COM1", "-o", "OUT", "--image", "OUT"},
         nullptr,
         2,
         "the key list and the image must go into two files"},
        {"not a key list",
         {"verify", "--port", "COM1", "FILE"},
         "\x7f"
         "ELF\x02\x01",
         5,
         "is not a key list file"},
        {"a count that is no number",
         {"write", "--port", "COM1", "FILE"},
         "[Obecne]\nPocetKlicu=five\n",
         5,
         "PocetKlicu=five is not a number of keys"},
        {"a key without its section",
         {"write", "--port", "COM1", "FILE"},
         "[Obecne]\nPocetKlicu=2\n[Klic0001]\nID=0A\n",
         5,
         "has no section [Klic0002]"},
        {"more keys than fit with comments",
         {"write", "--port", "COM1", "FILE", "--comments"},
         many.c_str(),
         2,
         "holds 900 keys, but with comments of 30 bytes the unit's memory "
         "holds at most 818"},
        {"a list to add to that is missing",
         {"last-key", "--port", "COM1", "--add-to", "FILE"},
         nullptr,
         5,
         "no such file"},
        {"export of a missing file", {"export", "FILE"}, nullptr, 5, "no such file"},
        {"import without a key list to write",
         {"import", "FILE"},
         "number,ID,comment,floors\n",
         2,
         "import needs -o FILE.ZAK"},
        {"an ID that is not hex",
         {"import", "FILE", "-o", "OUT"},
         "number,ID,comment,floors\n1,0A1B2C3D4E5F60,ok,1\n2,0A1B2C3D4E5G60,x,\n",
         5,
         "line 3: "},
        {"a comment the code page cannot hold",
         {"import", "FILE", "-o", "OUT"},
         "number,ID,comment,floors\n1,0A1B2C3D4E5F60,Señor,1\n",
         5,
         "line 2: comment has a character that Windows-1250 cannot hold: 'ñ'"},
        {"a diff side that is missing", {"diff", "FILE", "unit:COM1"}, nullptr, 5, "no such file"},
    };
    for (const BadInput& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string input = dir.file("input.ZAK");
        std::filesystem::remove(input);
        if (c.content)
            writeBytes(input, c.content);
        std::vector<std::string> args;
        for (const std::string& a : c.args)
            args.push_back(a == "FILE" ? input : a == "OUT" ? dir.file("out.ZAK") : a);
        // The unit is never reached: COM1 names a device that is not there.
        const Outcome r = RunProgram(
            [&] {
                args.insert(args.begin(), Zakctl);
                return args;
            }(),
            {"ZAK_COM1=" + dir.file("no-such-port")});
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_TRUE(Contains(r.err, c.message)) << r.err;
        EXPECT_EQ(r.out, "");
        // Nothing beside the input file was written.
        int files = 0;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            files += entry.path() != input;
        EXPECT_EQ(files, 0);
    }
}

}  // namespace
}  // namespace zak::test
