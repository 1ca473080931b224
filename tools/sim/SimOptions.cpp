#include "SimOptions.h"

#include <cstdlib>

#include "UnitCommands.h"

namespace zak::sim {

namespace {

bool toInt(const std::string& text, int low, int high, int& value) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || v < low || v > high)
        return false;
    value = static_cast<int>(v);
    return true;
}

}  // namespace

std::optional<std::string> ParseOptions(int argc, char** argv, SimOptions& o) {
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc)
                return false;
            out = argv[++i];
            return true;
        };
        std::string v;
        if (arg == "--") {
            o.program.assign(argv + i + 1, argv + argc);
            if (o.program.empty())
                return std::string("-- needs a program to run");
            break;
        } else if (arg == "-h" || arg == "--help") {
            o.help = true;
        } else if (arg == "--keys") {
            if (!value(o.keyList))
                return arg + " needs a file";
        } else if (arg == "--image") {
            if (!value(o.image))
                return arg + " needs a file";
        } else if (arg == "--comments") {
            o.comments = true;
        } else if (arg == "--comment-length") {
            if (!value(v) || !toInt(v, 1, 50, o.commentLength))
                return arg + " needs a number 1..50";
        } else if (arg == "--baud") {
            if (!value(v) || !toInt(v, 0, 1000000, o.baud))
                return arg + " needs a number of bits per second";
        } else if (arg == "--dump-on-exit") {
            if (!value(o.dumpOnExit))
                return arg + " needs a file";
        } else if (arg == "--com") {
            if (!value(v) || !toInt(v, 1, 99, o.com))
                return arg + " needs a number 1..99";
        } else if (arg == "-c" || arg == "--command") {
            if (!value(v))
                return arg + " needs a command";
            o.commands.push_back(v);
        } else if (arg == "--gap") {
            if (!value(v) || !toInt(v, 1, 10000, o.gapMs))
                return arg + " needs a number of ms 1..10000";
        } else if (arg == "--turnaround") {
            if (!value(v) || !toInt(v, 0, 60000, o.turnaroundMs))
                return arg + " needs a number of ms";
        } else if (arg == "--random-faults") {
            if (!value(v) || !toInt(v, 0, 100, o.randomPercent))
                return arg + " needs a percentage 0..100";
        } else if (arg == "--seed") {
            if (!value(v) || !toInt(v, 0, 1 << 30, o.seed))
                return arg + " needs a number";
        } else if (arg == "--random-delay") {
            if (!value(v) || !toInt(v, 0, 600000, o.randomDelayMs))
                return arg + " needs a number of ms";
        } else if (arg == "-v" || arg == "--verbose") {
            o.verbose = true;
        } else {
            return "unknown option " + arg + " (see --help)";
        }
    }
    if (!o.keyList.empty() && !o.image.empty())
        return std::string("give --keys or --image, not both");
    return std::nullopt;
}

std::string UsageText() {
    return std::string(
               "Usage: zak-sim [options] [-- program [arguments]]\n"
               "A simulated ZAK unit on a pseudo-terminal. The first line on standard output\n"
               "names the terminal as an environment setting for ZAK Manager, e.g.\n"
               "  ZAK_COM1=/dev/pts/5\n"
               "so that the window's COM1 reaches the simulated unit. The unit keeps 32768 bytes\n"
               "of key memory (zeros: no keys, unless loaded) and answers read, write and\n"
               "last-key requests; anything else on the line it ignores.\n"
               "\n"
               "Options:\n"
               "  --keys FILE           fill the memory from a key list file (*.ZAK)\n"
               "  --comments            ... storing the comments too\n"
               "  --comment-length N    ... in fields of N bytes (1..50, default 30)\n"
               "  --image FILE          fill the memory from a raw image (from address 0)\n"
               "  --baud N              pace the replies as a line of N Bd does (e.g. 2400);\n"
               "                        without it replies go out at once\n"
               "  --dump-on-exit FILE   write the memory to FILE when the unit ends\n"
               "  --com N               name ZAK_COM<N> in the first line (default 1)\n"
               "  --turnaround MS       begin each reply MS after the request, and MS after\n"
               "                        what the unit sent before it (default 0: at once)\n"
               "  --gap MS              the silence that ends a burst for the tool (default\n"
               "                        250, as the tool's); random faults pause twice as long\n"
               "                        inside a reply that is to reach the tool as two bursts\n"
               "  --random-faults P     give each reply a random fault with a chance of P %\n"
               "                        (noise before it, a delay, split, twice in two bursts,\n"
               "                        twice in one, no reply, a wrong checksum, a wrong code)\n"
               "  --seed N              ... drawn from this seed (default 1): runs repeat\n"
               "  --random-delay MS     ... a delay being this long (default 3000, past the\n"
               "                        tool's reply wait)\n"
               "  -c, --command CMD     run a command (below) before the line is offered\n"
               "  -v, --verbose         show requests and replies on standard error\n"
               "  -h, --help            show this text\n"
               "  -- program [args]     run the program with ZAK_COM<N> set; the unit ends when\n"
               "                        it ends and returns its exit status\n"
               "The unit ends at \"quit\", SIGINT or SIGTERM; end of standard input does not end "
               "it.\n"
               "\n") +
           CommandHelp();
}

}  // namespace zak::sim
