#pragma once

// Line errors (framing, overrun, parity) and the report text that carries them to the window.

#include <cstdint>
#include <optional>
#include <string>

namespace zak {

// Error flags of a report, as the unit's tools have always numbered them.
constexpr std::uint32_t CE_RXOVER = 0x0001;  // the driver's receive buffer overflowed
constexpr std::uint32_t CE_OVERRUN = 0x0002;
constexpr std::uint32_t CE_RXPARITY = 0x0004;
constexpr std::uint32_t CE_FRAME = 0x0008;
// The flags that make a line-error event; CE_RXOVER rides along only.
constexpr std::uint32_t LineErrorEventFlags = CE_FRAME | CE_OVERRUN | CE_RXPARITY;

// The driver's running error counters of a port.
struct TLineErrorCounts {
    long long Frame = 0;
    long long Overrun = 0;
    long long Parity = 0;
    long long BufferOverrun = 0;
};

// The counters of `port` (TIOCGICOUNT), or nullopt where the driver keeps none
// (pseudo-terminals keep none).
std::optional<TLineErrorCounts> ReadLineErrorCounts(int port);

// The error flags of the counters that rose from `before` to `after`.
std::uint32_t LineErrorFlags(const TLineErrorCounts& before, const TLineErrorCounts& after);

// "Comm Event: " + the error names joined by " and " (framing, overrun, parity, then
// "EV_ERR Unknown EvtMask" for any other flag; "NULL Error" for none) + ", EvtMask = " + the
// flags in decimal. The names part is at most 127 characters.
std::string CommEventReport(std::uint32_t errorFlags);

}  // namespace zak
