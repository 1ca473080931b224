#include "MemoryImage.h"

#include <algorithm>

namespace zak {

void MemoryImage::zapis(int adresa, std::uint8_t b) {
    if (adresa < 0 || adresa > PosledniAdresa)
        return;
    Pamet[static_cast<std::size_t>(adresa)] = b;
    Zapsano.set(static_cast<std::size_t>(adresa));
    oznacZmenu(adresa, adresa);
}

void MemoryImage::vynuluj() {
    Pamet.fill(0);
}

void MemoryImage::vyprazdniMapu() {
    Zapsano.reset();
    oznacZmenu(0, PosledniAdresa);
}

MemoryImage::Rozsah MemoryImage::vezmiZmeny() {
    const Rozsah r = Zmeny;
    Zmeny = {VelikostPameti, -1};
    return r;
}

void MemoryImage::oznacZmenu(int prvni, int posledni) {
    Zmeny.prvni = std::min(Zmeny.prvni, prvni);
    Zmeny.posledni = std::max(Zmeny.posledni, posledni);
}

}  // namespace zak
