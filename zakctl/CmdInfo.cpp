// zakctl info: the unit's head block only. The last-key request is never sent here: it
// clears the unit's new-key flag.
#include <cstdio>

#include "Commands.h"
#include "Output.h"
#include "ReplyRule.h"
#include "TransferRange.h"
#include "UnitTransfers.h"

namespace zak::ctl {

namespace {

std::string duration(std::chrono::milliseconds ms) {
    const long s = static_cast<long>((ms.count() + 500) / 1000);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%ld min %02ld s", s / 60, s % 60);
    return buf;
}

}  // namespace

int RunInfo(const Context& c) {
    const std::string port = c.Port();
    UnitSession unit(c.Line(port), c.log);
    unit.Open();
    MemoryImage image;
    auto table = std::make_unique<KeyTable>();
    KeyTable& keys = *table;
    const int headCount = ReadHead(unit, keys, image);
    const int end = TransferEnd(keys);
    const int blocks = static_cast<int>(TransferBlocks(end).size());

    // Each block: the request and the reply on the line; the window then waits for the
    // burst gap, --fast does not.
    const LineTiming line{static_cast<int>(UnitBaudRate), TComm32::DefaultBurstGap};
    const auto perBlock = LineTime(line, RequestLength(0x01) + ReplyLength(0x11));
    const auto window = blocks * (perBlock + line.burstGap);
    const auto fast = blocks * perBlock;

    if (c.json) {
        Result(std::string("{\"keys\": ") + std::to_string(keys.PocetKlicu) +
               ", \"head_keys\": " + std::to_string(headCount) +
               ", \"comments\": " + (keys.UkladatKomentare ? "true" : "false") +
               ", \"comment_length\": " + std::to_string(keys.DelkaKomentare) +
               ", \"transfer_end\": " + std::to_string(end) + ", \"blocks\": " +
               std::to_string(blocks) + ", \"download_ms\": " + std::to_string(window.count()) +
               ", \"download_fast_ms\": " + std::to_string(fast.count()) + "}");
        return 0;
    }
    std::string count = std::to_string(keys.PocetKlicu);
    if (headCount != keys.PocetKlicu)
        count += " (the head says " + std::to_string(headCount) + ", more than fit)";
    Result("keys:            " + count);
    Result(std::string("comments stored: ") + (keys.UkladatKomentare ? "yes" : "no"));
    Result("comment length:  " + std::to_string(keys.DelkaKomentare));
    Result("transfer end:    " + std::to_string(end) + " (" + std::to_string(blocks) + " blocks)");
    Result("download:        about " + duration(window) + " at 2400 Bd (" + duration(fast) +
           " with --fast)");
    return 0;
}

}  // namespace zak::ctl
