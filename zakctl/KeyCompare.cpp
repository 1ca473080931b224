#include "KeyCompare.h"

#include <algorithm>
#include <map>

namespace zak::ctl {

namespace {

std::string comparable(std::string comment, int cut) {
    if (cut > 0 && comment.size() > static_cast<std::size_t>(cut))
        comment.resize(static_cast<std::size_t>(cut));
    while (!comment.empty() && comment.back() == ' ')
        comment.pop_back();
    return comment;
}

bool sameComment(const ComparedList& a, int na, const ComparedList& b, int nb) {
    if (!a.comments || !b.comments)
        return true;
    int cut = std::max(a.commentLength, b.commentLength);
    if (a.commentLength > 0 && b.commentLength > 0)
        cut = std::min(a.commentLength, b.commentLength);
    return comparable(a.keys.klic(na).Komentar, cut) == comparable(b.keys.klic(nb).Komentar, cut);
}

void compareMatched(const ComparedList& a, int na, const ComparedList& b, int nb,
                    std::vector<KeyDifference>& out) {
    if (a.keys.klic(na).Patra != b.keys.klic(nb).Patra)
        out.push_back({DifferenceKind::OtherFloors, na, nb});
    if (!sameComment(a, na, b, nb))
        out.push_back({DifferenceKind::OtherComment, na, nb});
}

}  // namespace

std::vector<KeyDifference> DiffById(const ComparedList& a, const ComparedList& b) {
    std::multimap<TKod, int> unmatchedB;
    for (int n = 1; n <= b.keys.PocetKlicu; ++n)
        unmatchedB.emplace(b.keys.klic(n).Kod, n);

    std::vector<KeyDifference> out;
    for (int n = 1; n <= a.keys.PocetKlicu; ++n) {
        const auto match = unmatchedB.find(a.keys.klic(n).Kod);
        if (match == unmatchedB.end()) {
            out.push_back({DifferenceKind::OnlyInA, n, 0});
            continue;
        }
        compareMatched(a, n, b, match->second, out);
        unmatchedB.erase(match);
    }
    std::vector<int> onlyB;
    for (const auto& [kod, n] : unmatchedB)
        onlyB.push_back(n);
    std::sort(onlyB.begin(), onlyB.end());
    for (const int n : onlyB)
        out.push_back({DifferenceKind::OnlyInB, 0, n});
    return out;
}

std::vector<KeyDifference> DiffByNumber(const ComparedList& a, const ComparedList& b) {
    std::vector<KeyDifference> out;
    const int both = std::min(a.keys.PocetKlicu, b.keys.PocetKlicu);
    for (int n = 1; n <= both; ++n) {
        if (a.keys.klic(n).Kod != b.keys.klic(n).Kod)
            out.push_back({DifferenceKind::OtherId, n, n});
        compareMatched(a, n, b, n, out);
    }
    for (int n = both + 1; n <= a.keys.PocetKlicu; ++n)
        out.push_back({DifferenceKind::OnlyInA, n, 0});
    for (int n = both + 1; n <= b.keys.PocetKlicu; ++n)
        out.push_back({DifferenceKind::OnlyInB, 0, n});
    return out;
}

std::string FloorNumbers(const TKlic& key, const char* separator) {
    std::string text;
    for (const int patro : CislaPater(key))
        text += (text.empty() ? "" : separator) + std::to_string(patro);
    return text;
}

std::string FloorList(const TKlic& key) {
    const std::string text = FloorNumbers(key, " ");
    return text.empty() ? "none" : text;
}

}  // namespace zak::ctl
