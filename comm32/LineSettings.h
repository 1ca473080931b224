#pragma once

#include <cstdint>

namespace zak {

// Parity codes; the values are those the unit's settings have always used (0..4).
enum class TParity : std::uint8_t { pNone = 0, pOdd = 1, pEven = 2, pMark = 3, pSpace = 4 };

// Stop bit codes (0..2). One and a half stop bits exist on the line only with 5 data bits.
enum class TStopBits : std::uint8_t { sb1_0 = 0, sb1_5 = 1, sb2_0 = 2 };

// The line settings that StartComm applies to the device.
struct TLineSettings {
    std::uint32_t BaudRate = 9600;
    std::uint8_t ByteSize = 8;
    TParity Parity = TParity::pNone;
    TStopBits StopBits = TStopBits::sb1_0;
};

}  // namespace zak
