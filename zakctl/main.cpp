// zakctl: back up, restore and check ZAK units from the command line (see --help).
#include <signal.h>

#include <cstdio>
#include <map>
#include <memory>

#include "Commands.h"
#include "CtlError.h"
#include "Help.h"
#include "Output.h"

namespace zak::ctl {

namespace {

using CommandFunction = int (*)(const Context&);

const std::map<std::string, CommandFunction> Dispatch = {
    {"ports", RunPorts}, {"info", RunInfo},     {"read", RunRead},
    {"write", RunWrite}, {"verify", RunVerify}, {"last-key", RunLastKey},
    {"diff", RunDiff},   {"export", RunExport}, {"import", RunImport},
};

int run(const std::vector<std::string>& words) {
    const Arguments args = ParseArguments(words);
    if (args.has("version")) {
        std::fputs(VersionText().c_str(), stdout);
        return 0;
    }
    if (args.has("help")) {
        std::fputs((args.command.empty() ? UsageText() : CommandHelp(args.command)).c_str(),
                   stdout);
        return 0;
    }
    const bool quiet = args.has("quiet");
    const auto logPath = args.value("log");
    const auto log =
        logPath ? std::make_unique<TrafficLog>(*logPath) : std::make_unique<TrafficLog>();
    ProgressBar progress(!quiet && ProgressBar::StderrIsTerminal());
    const Context context{args, args.has("json"), quiet, *log, progress};
    try {
        return Dispatch.at(args.command)(context);
    } catch (...) {
        progress.Finish();
        throw;
    }
}

}  // namespace

}  // namespace zak::ctl

int main(int argc, char** argv) {
    using namespace zak::ctl;
    // A closed pipe on standard output shows as a failed write, not as a killed program.
    ::signal(SIGPIPE, SIG_IGN);
    try {
        const int status = run(std::vector<std::string>(argv + 1, argv + argc));
        if (std::fflush(stdout) != 0) {
            Message("cannot write the results to standard output");
            return ExitCode(ExitStatus::FileFailed);
        }
        return status;
    } catch (const CtlError& e) {
        std::fflush(stdout);
        Message(e.what());
        return ExitCode(e.status());
    } catch (const std::exception& e) {
        std::fflush(stdout);
        Message(std::string("unexpected failure: ") + e.what());
        return ExitCode(ExitStatus::FileFailed);
    }
}
