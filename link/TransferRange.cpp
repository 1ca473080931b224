#include "TransferRange.h"

#include <algorithm>

#include "Frame.h"

namespace zak {

int TransferEnd(const KeyTable& t) {
    const int comment = t.UkladatKomentare ? t.DelkaKomentare : 0;
    const long end = AdrPrvniKlic + static_cast<long>(t.PocetKlicu) * (DelkaZaznamu + comment);
    return static_cast<int>(std::min<long>(end, PosledniAdresa));
}

std::uint16_t BlockStart(int addr) {
    return static_cast<std::uint16_t>(std::min(addr, int{LastBlockAddr}));
}

void TakeHead(const MemoryImage& image, KeyTable& t) {
    t.UkladatKomentare = image[AdrZnackaKomentaru] == ZnackaKomentaru;
    const int delka = image[AdrDelkaKomentare];
    t.DelkaKomentare =
        (delka == 0 || delka > 50) ? VychoziDelkaKomentare : static_cast<std::uint16_t>(delka);
    int pocet = image[AdrPocetHi] * 256 + image[AdrPocetLo];
    pocet = std::min(pocet, int{t.LimitNacitani});
    pocet = std::min(pocet, KapacitaTabulky(t));
    t.PocetKlicu = static_cast<std::uint16_t>(pocet);
}

std::vector<std::uint16_t> TransferBlocks(int end) {
    std::vector<std::uint16_t> blocks{FirstBlockAddr};
    while (blocks.back() + BlockLength < end)
        blocks.push_back(BlockStart(blocks.back() + BlockLength));
    return blocks;
}

}  // namespace zak
