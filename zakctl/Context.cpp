#include "Commands.h"
#include "CtlError.h"
#include "KeyConversion.h"
#include "Output.h"
#include "PortArgument.h"
#include "UnitTransfers.h"

namespace zak::ctl {

LineOptions Context::Line(const std::string& port) const {
    LineOptions o;
    o.port = port;
    o.retries = NumberOption(args, "retries", 0, 100, 3);
    o.fast = args.has("fast");
    o.burstGap = std::chrono::milliseconds{NumberOption(args, "gap", 1, 10000, 250)};
    o.turnaround = std::chrono::milliseconds{
        NumberOption(args, "turnaround", 1, 60000, static_cast<int>(UnitTurnaround.count()))};
    return o;
}

std::string Context::Port() const {
    const auto port = args.value("port");
    if (!port)
        throw CtlError(ExitStatus::Usage,
                       args.command + " needs --port (see zakctl " + args.command + " --help)");
    CheckPortArgument(*port);
    return *port;
}

void Context::Note(const std::string& text) const {
    if (!quiet)
        Message(text);
}

std::unique_ptr<UnitContents> ReadUnit(const Context& c, const std::string& port,
                                       std::uint16_t limit) {
    auto contents = std::make_unique<UnitContents>();
    UnitSession unit(c.Line(port), c.log);
    unit.Open();
    contents->keys->LimitNacitani = limit;
    contents->headCount = DownloadUnit(unit, *contents->keys, contents->image, c.progress);
    Mem2Keys(contents->image, *contents->keys);
    if (unit.RequestsRepeated() > 0)
        c.Note(std::to_string(unit.RequestsRepeated()) + " requests were asked again");
    return contents;
}

}  // namespace zak::ctl
