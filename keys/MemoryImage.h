#pragma once

#include <array>
#include <bitset>
#include <cstdint>

namespace zak {

constexpr int VelikostPameti = 32768;
constexpr int PosledniAdresa = VelikostPameti - 1;

// Header of the unit's key memory.
constexpr int AdrZnackaKomentaru = 28;  // 0xAA when comments are stored
constexpr int AdrDelkaKomentare = 29;
constexpr int AdrPocetHi = 30;
constexpr int AdrPocetLo = 31;
constexpr int AdrPrvniKlic = 32;
constexpr int DelkaZaznamu = 10;
constexpr std::uint8_t ZnackaKomentaru = 0xAA;

// The tool's copy of the unit's memory, `Pamet`, together with what the memory map
// shows: a map cell shows its byte from the moment the byte is written until the map
// is initialised again. Writes also widen a changed range, so that the map view
// repaints only what changed.
class MemoryImage {
  public:
    std::uint8_t operator[](int adresa) const { return Pamet[static_cast<std::size_t>(adresa)]; }

    // Stores a byte and shows it in its map cell. Addresses outside the image are ignored.
    void zapis(int adresa, std::uint8_t b);

    // Sets every byte to 0; the map cells keep what they show.
    void vynuluj();

    // Empties every map cell (the memory map is initialised).
    void vyprazdniMapu();

    bool zobrazeno(int adresa) const { return Zapsano.test(static_cast<std::size_t>(adresa)); }

    // Addresses whose map cells changed since the last call, as [prvni, posledni];
    // prvni > posledni when nothing changed.
    struct Rozsah {
        int prvni;
        int posledni;
        bool prazdny() const { return prvni > posledni; }
    };
    Rozsah vezmiZmeny();

    const std::uint8_t* data() const { return Pamet.data(); }

  private:
    void oznacZmenu(int prvni, int posledni);

    std::array<std::uint8_t, VelikostPameti> Pamet{};
    std::bitset<VelikostPameti> Zapsano;
    Rozsah Zmeny{VelikostPameti, -1};
};

}  // namespace zak
