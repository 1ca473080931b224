#include "LineErrors.h"

#include <linux/serial.h>
#include <sys/ioctl.h>

namespace zak {

std::optional<TLineErrorCounts> ReadLineErrorCounts(int port) {
    serial_icounter_struct counts{};
    if (::ioctl(port, TIOCGICOUNT, &counts) != 0)
        return std::nullopt;
    TLineErrorCounts result;
    result.Frame = counts.frame;
    result.Overrun = counts.overrun;
    result.Parity = counts.parity;
    result.BufferOverrun = counts.buf_overrun;
    return result;
}

std::uint32_t LineErrorFlags(const TLineErrorCounts& before, const TLineErrorCounts& after) {
    std::uint32_t flags = 0;
    if (after.Frame != before.Frame)
        flags |= CE_FRAME;
    if (after.Overrun != before.Overrun)
        flags |= CE_OVERRUN;
    if (after.Parity != before.Parity)
        flags |= CE_RXPARITY;
    if (after.BufferOverrun != before.BufferOverrun)
        flags |= CE_RXOVER;
    return flags;
}

std::string CommEventReport(std::uint32_t errorFlags) {
    std::string names;
    const auto append = [&names](const char* name) {
        if (!names.empty())
            names += " and ";
        names += name;
    };
    if (errorFlags == 0)
        append("NULL Error");
    if ((errorFlags & CE_FRAME) != 0)
        append("CE_FRAME");
    if ((errorFlags & CE_OVERRUN) != 0)
        append("CE_OVERRUN");
    if ((errorFlags & CE_RXPARITY) != 0)
        append("CE_RXPARITY");
    if ((errorFlags & ~LineErrorEventFlags) != 0)
        append("EV_ERR Unknown EvtMask");
    if (names.size() > 127)
        names.resize(127);
    return "Comm Event: " + names + ", EvtMask = " + std::to_string(errorFlags);
}

}  // namespace zak
