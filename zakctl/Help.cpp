#include "Help.h"

namespace zak::ctl {

namespace {

const char* const LineOptionsText =
    "Line options:\n"
    "  --retries N      ask a block again up to N times when its reply does not come or\n"
    "                   comes damaged (default 3)\n"
    "  --fast           take a reply as soon as it is whole and its checksum passes,\n"
    "                   instead of after 250 ms of silence\n"
    "  --log FILE       write the traffic with the unit to FILE, as the window shows it\n"
    "  --gap MS         the silence that ends a reply (default 250), and\n"
    "  --turnaround MS  how soon the unit starts its reply (default 1000): both for\n"
    "                   simulated units that need less\n";

const char* const CommonText =
    "  --json           results as JSON\n"
    "  -q, --quiet      no progress bar and no notes on standard error\n"
    "  -h, --help       show this text\n";

const char* const ExitText =
    "Exit status: 0 done, 1 a difference or no new key, 2 usage, 3 the port cannot be\n"
    "opened or was lost, 4 the unit did not answer, 5 a file cannot be read or written.\n";

struct CommandText {
    const char* name;
    const char* text;
};

const CommandText Commands[] = {
    {"ports",
     "Usage: zakctl ports [--json]\n"
     "Lists the serial devices of this machine: /dev/serial/by-id/* with their targets,\n"
     "/dev/ttyUSB*, /dev/ttyACM*, the /dev/ttyS* that have a UART, and COM1 to COM8 as\n"
     "ZAK Manager maps them ($ZAK_COMn, else /dev/ttyS(n-1)). A port that another program\n"
     "has locked or holds exclusively is marked busy.\n"},
    {"info",
     "Usage: zakctl info --port PORT [options]\n"
     "Reads the unit's head block (addresses 28 to 41) only and prints the key count,\n"
     "whether comments are stored and their length, the transfer end and how long a\n"
     "download takes at 2400 Bd. Does not ask for the last key (that would clear the\n"
     "unit's new-key flag).\n"},
    {"read",
     "Usage: zakctl read --port PORT [-o FILE.ZAK] [--image FILE.bin] [--limit N] [options]\n"
     "Downloads the unit as ZAK Manager does and writes its keys to a key list file.\n"
     "  -o, --output FILE  the key list file (default: zak-DATE_TIME.ZAK)\n"
     "  --image FILE       also write the 32768-byte memory image\n"
     "  --limit N          read at most N keys (default 2000)\n"
     "Nothing is written when the transfer fails.\n"},
    {"write",
     "Usage: zakctl write --port PORT FILE.ZAK [--comments] [--comment-length L]\n"
     "                    [--backup FILE | --no-backup] [--no-verify] [options]\n"
     "Backs the unit up into a key list file, writes FILE.ZAK into it, then reads the\n"
     "written blocks back and compares them byte for byte; any difference is printed and\n"
     "ends with exit status 1.\n"
     "  --comments         store the comments in the unit (default: not, as after loading\n"
     "                     a file in ZAK Manager)\n"
     "  --comment-length L comment field length 1..50 (default 30); with --comments\n"
     "  --backup FILE      the backup file (default: zak-backup-DATE_TIME.ZAK)\n"
     "  --no-backup        take no backup\n"
     "  --no-verify        do not read the written blocks back\n"
     "Keys that do not fit in the unit's memory with the comment length are refused.\n"},
    {"verify",
     "Usage: zakctl verify --port PORT FILE.ZAK [--comments] [--comment-length L] [options]\n"
     "Reads the unit and compares it with FILE.ZAK as the unit would hold it (converted\n"
     "with the comment options, as for write). Prints the keys that differ, by number:\n"
     "only in the file (missing in the unit), only in the unit (extra), another ID, other\n"
     "floors, other comment. Exit status 1 when anything differs.\n"},
    {"last-key",
     "Usage: zakctl last-key --port PORT [--add-to FILE.ZAK] [options]\n"
     "Prints the ID of the key presented to the unit since it was last asked, or that no\n"
     "key was newly presented (exit status 1). The unit forgets the key once reported.\n"
     "  --add-to FILE  find the key in FILE, or append it as ZAK Manager does (comment\n"
     "                 \"Novy klic c.\" and its number, no floors) and save FILE in place\n"},
    {"diff",
     "Usage: zakctl diff A B [options]\n"
     "A and B are each a key list file or unit:PORT (e.g. unit:COM1). Matches the keys by\n"
     "ID and prints those only in A, only in B, and those with other floors or another\n"
     "comment (comments of a unit that stores none are not compared). Exit status 1 when\n"
     "they differ.\n"},
    {"export",
     "Usage: zakctl export FILE.ZAK [--csv | --json] [-o FILE]\n"
     "Writes the key list as CSV (default) or JSON, in UTF-8, for spreadsheets: number,\n"
     "ID, comment and floors; to standard output unless -o is given.\n"},
    {"import",
     "Usage: zakctl import FILE.csv -o FILE.ZAK\n"
     "Makes a key list file from a CSV file in UTF-8 (as export writes it). Characters\n"
     "that Windows-1250 cannot hold, IDs that are not hex and malformed lines are refused\n"
     "with their line number; nothing is written then.\n"},
};

bool talksToUnit(const std::string& command) {
    return command == "info" || command == "read" || command == "write" || command == "verify" ||
           command == "last-key" || command == "diff";
}

}  // namespace

std::string UsageText() {
    return std::string(
               "Usage: zakctl COMMAND [options]\n"
               "Reads, writes and checks ZAK lift access units over a serial line (2400 Bd).\n"
               "\n"
               "Commands:\n"
               "  ports                    list the serial devices\n"
               "  info --port P            the unit's key count and settings (head only)\n"
               "  read --port P            back the unit up into a key list file\n"
               "  write --port P FILE      write a key list into the unit, backed up and verified\n"
               "  verify --port P FILE     compare the unit with a key list file\n"
               "  last-key --port P        the key presented last\n"
               "  diff A B                 compare two key lists (files or unit:PORT)\n"
               "  export FILE              a key list as CSV or JSON\n"
               "  import FILE.csv -o FILE  a key list from CSV\n"
               "\n"
               "PORT is COM1 to COM8 (as ZAK Manager maps them: $ZAK_COMn, else\n"
               "/dev/ttyS(n-1)) or a device path such as /dev/serial/by-id/...\n"
               "zakctl COMMAND --help tells more. Results go to standard output, messages to\n"
               "standard error.\n"
               "\n") +
           LineOptionsText + "\nOptions:\n" + CommonText +
           "  -V, --version    show the version\n\n" + ExitText;
}

std::string CommandHelp(const std::string& command) {
    for (const CommandText& c : Commands) {
        if (command == c.name) {
            std::string text = c.text;
            text += "\nOptions:\n";
            if (talksToUnit(command) && command != "diff")
                text += "  -p, --port PORT  COM1..COM8 or a device path\n";
            text += CommonText;
            if (talksToUnit(command))
                text += std::string("\n") + LineOptionsText;
            return text + "\n" + ExitText;
        }
    }
    return UsageText();
}

std::string VersionText() {
    return "zakctl " ZAK_VERSION "\n";
}

}  // namespace zak::ctl
