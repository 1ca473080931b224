#include "UnitMemoryFiles.h"

#include <fstream>
#include <iterator>

#include "KeyConversion.h"
#include "KeyListFile.h"

namespace zak::sim {

std::optional<std::string> LoadKeyList(const std::string& path, bool comments, int commentLength,
                                       ZakUnit::Memory& memory) {
    if (!std::ifstream(path))
        return "cannot read " + path;
    if (commentLength < 1 || commentLength > 50)
        return "the comment length must be 1..50";
    KeyTable table;
    NactiSeznamKlicu(path, table);
    table.UkladatKomentare = comments;
    table.DelkaKomentare = static_cast<std::uint16_t>(commentLength);
    MemoryImage image;
    Keys2Mem(table, image);
    // The head and the records land at 28 on; the bytes before keep what the memory held.
    for (int a = AdrZnackaKomentaru; a < UnitMemorySize; ++a) {
        if (image.zobrazeno(a))
            memory[static_cast<std::size_t>(a)] = image[a];
    }
    return std::nullopt;
}

std::optional<std::string> LoadImage(const std::string& path, ZakUnit::Memory& memory) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "cannot read " + path;
    in.read(reinterpret_cast<char*>(memory.data()), UnitMemorySize);
    if (in.bad())
        return "cannot read " + path;
    return std::nullopt;
}

bool SaveImage(const std::string& path, const ZakUnit::Memory& memory) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(memory.data()), UnitMemorySize);
    out.close();
    return static_cast<bool>(out);
}

}  // namespace zak::sim
