#include "DifferenceReport.h"

#include <cstdio>

#include "Output.h"

namespace zak::ctl {

namespace {

std::string keyLabel(const ComparedList& side, int n) {
    return "key " + std::to_string(n) + " " + Kod2ID(side.keys.klic(n).Kod);
}

std::string quoted(const std::string& comment) {
    return "\"" + ShownText(comment) + "\"";
}

std::string kindName(DifferenceKind k) {
    switch (k) {
        case DifferenceKind::OnlyInA:
            return "only-in-a";
        case DifferenceKind::OnlyInB:
            return "only-in-b";
        case DifferenceKind::OtherId:
            return "other-id";
        case DifferenceKind::OtherFloors:
            return "other-floors";
        case DifferenceKind::OtherComment:
            return "other-comment";
    }
    return "?";
}

std::string keyJson(const ComparedList& side, int n) {
    if (n == 0)
        return "null";
    const TKlic& k = side.keys.klic(n);
    return "{\"number\": " + std::to_string(n) + ", \"id\": " + JsonString(Kod2ID(k.Kod)) +
           ", \"floors\": [" + FloorNumbers(k, ", ") +
           "], \"comment\": " + (side.comments ? JsonString(ShownText(k.Komentar)) : "null") + "}";
}

}  // namespace

std::vector<std::string> DifferenceLines(const std::vector<KeyDifference>& differences,
                                         const ComparedList& a, const ComparedList& b,
                                         const SideNames& names) {
    std::vector<std::string> lines;
    for (const KeyDifference& d : differences) {
        switch (d.kind) {
            case DifferenceKind::OnlyInA:
                lines.push_back("only in " + names.a + ": " + keyLabel(a, d.numberA));
                break;
            case DifferenceKind::OnlyInB:
                lines.push_back("only in " + names.b + ": " + keyLabel(b, d.numberB));
                break;
            case DifferenceKind::OtherId:
                lines.push_back("key " + std::to_string(d.numberA) + ": ID " +
                                Kod2ID(a.keys.klic(d.numberA).Kod) + " in " + names.a + ", " +
                                Kod2ID(b.keys.klic(d.numberB).Kod) + " in " + names.b);
                break;
            case DifferenceKind::OtherFloors:
                lines.push_back("other floors: " + keyLabel(a, d.numberA) + " in " + names.a +
                                ": " + FloorList(a.keys.klic(d.numberA)) + "; key " +
                                std::to_string(d.numberB) + " in " + names.b + ": " +
                                FloorList(b.keys.klic(d.numberB)));
                break;
            case DifferenceKind::OtherComment:
                lines.push_back("other comment: " + keyLabel(a, d.numberA) + " in " + names.a +
                                ": " + quoted(a.keys.klic(d.numberA).Komentar) + "; key " +
                                std::to_string(d.numberB) + " in " + names.b + ": " +
                                quoted(b.keys.klic(d.numberB).Komentar));
                break;
        }
    }
    return lines;
}

std::string DifferencesJson(const std::vector<KeyDifference>& differences, const ComparedList& a,
                            const ComparedList& b) {
    std::string text = "[";
    for (std::size_t i = 0; i < differences.size(); ++i) {
        const KeyDifference& d = differences[i];
        text += std::string(i ? ", " : "") + "{\"kind\": " + JsonString(kindName(d.kind)) +
                ", \"a\": " + keyJson(a, d.numberA) + ", \"b\": " + keyJson(b, d.numberB) + "}";
    }
    return text + "]";
}

std::string AddressMeaning(int addr, const KeyTable& keys) {
    switch (addr) {
        case AdrZnackaKomentaru:
            return "the comment marker";
        case AdrDelkaKomentare:
            return "the comment length";
        case AdrPocetHi:
        case AdrPocetLo:
            return "the key count";
        default:
            break;
    }
    const int count = keys.PocetKlicu;
    const int records = AdrPrvniKlic + DelkaZaznamu * count;
    if (addr >= AdrPrvniKlic && addr < records) {
        const int n = (addr - AdrPrvniKlic) / DelkaZaznamu + 1;
        const int offset = (addr - AdrPrvniKlic) % DelkaZaznamu;
        return (offset < 7 ? "the ID of key " : "the floors of key ") + std::to_string(n);
    }
    if (keys.UkladatKomentare && addr >= records && addr < records + keys.DelkaKomentare * count) {
        return "the comment of key " + std::to_string((addr - records) / keys.DelkaKomentare + 1);
    }
    return "past the end of the data";
}

std::string ByteDifferenceLine(const ByteDifference& d, const KeyTable& keys) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "0x%04X (%s): wrote %02X, the unit holds %02X", d.addr,
                  AddressMeaning(d.addr, keys).c_str(), d.expected, d.found);
    return buf;
}

}  // namespace zak::ctl
