#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace zak {

// Number of floors a key can open, and of bytes in a key ID.
constexpr int PocetPater = 24;
constexpr int DelkaKodu = 7;

using TKod = std::array<std::uint8_t, DelkaKodu>;

// One access key. Texts are Windows-1250 bytes, kept exactly as they came.
struct TKlic {
    TKod Kod{};                                    // ID bytes, byte 0 = first two hex digits
    std::string ID;                                // ID as shown; empty until one is entered
    std::array<std::uint8_t, PocetPater> Patra{};  // floor 1..24 at index 0..23, each 0 or 1
    std::string Komentar;

    void vymaz() { *this = TKlic{}; }
    bool operator==(const TKlic& o) const {
        return Kod == o.Kod && ID == o.ID && Patra == o.Patra && Komentar == o.Komentar;
    }
};

}  // namespace zak
