#pragma once

// The commands of zakctl. Each returns its exit status or throws CtlError.

#include <memory>
#include <string>

#include "Arguments.h"
#include "KeyTable.h"
#include "MemoryImage.h"
#include "ProgressBar.h"
#include "TrafficLog.h"
#include "UnitSession.h"

namespace zak::ctl {

// What every command gets: its arguments and the program-wide options.
struct Context {
    const Arguments& args;
    bool json = false;
    bool quiet = false;
    TrafficLog& log;
    ProgressBar& progress;

    // The line options for a unit on `port` (--retries, --fast, --gap).
    LineOptions Line(const std::string& port) const;
    // The --port value, checked; throws CtlError (usage) when it is missing or wrong.
    std::string Port() const;
    // Prints an informational message on standard error unless --quiet.
    void Note(const std::string& text) const;
};

// A unit's contents as a download leaves them.
struct UnitContents {
    std::unique_ptr<KeyTable> keys = std::make_unique<KeyTable>();
    MemoryImage image;
    int headCount = 0;  // the key count in the head, before it was cut
};

// Opens the port and reads the whole unit (the window's download and Mem2Keys), with the
// given load limit.
std::unique_ptr<UnitContents> ReadUnit(const Context& c, const std::string& port,
                                       std::uint16_t limit = VychoziLimitNacitani);

int RunPorts(const Context& c);
int RunInfo(const Context& c);
int RunRead(const Context& c);
int RunWrite(const Context& c);
int RunVerify(const Context& c);
int RunLastKey(const Context& c);
int RunDiff(const Context& c);
int RunExport(const Context& c);
int RunImport(const Context& c);

}  // namespace zak::ctl
