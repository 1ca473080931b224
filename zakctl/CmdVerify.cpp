// zakctl verify: does the unit hold what a key list file converts to?
#include "CommentOptions.h"
#include "DifferenceReport.h"
#include "KeyConversion.h"
#include "KeyListIo.h"
#include "Output.h"
#include "PortArgument.h"

namespace zak::ctl {

namespace {

std::string commentSetting(const KeyTable& k) {
    return k.UkladatKomentare ? "comments of " + std::to_string(k.DelkaKomentare) + " bytes"
                              : "no comments";
}

}  // namespace

int RunVerify(const Context& c) {
    const std::string file = c.args.operands[0];
    const std::string port = c.Port();
    auto keys = std::make_unique<KeyTable>();
    LoadKeyList(file, *keys);
    ApplyCommentOptions(c, *keys, file);
    // The file as the unit would hold it: converted to an image and back.
    MemoryImage image;
    Keys2Mem(*keys, image);
    auto expected = std::make_unique<KeyTable>(*keys);
    Mem2Keys(image, *expected);

    const auto unit = ReadUnit(c, port);
    const KeyTable& held = *unit->keys;
    const ComparedList a{*expected, expected->UkladatKomentare,
                         expected->UkladatKomentare ? expected->DelkaKomentare : 0};
    const ComparedList b{held, held.UkladatKomentare,
                         held.UkladatKomentare ? held.DelkaKomentare : 0};
    const std::vector<KeyDifference> differences = DiffByNumber(a, b);
    const bool sameHead =
        held.UkladatKomentare == expected->UkladatKomentare &&
        (!held.UkladatKomentare || held.DelkaKomentare == expected->DelkaKomentare);
    const bool same = sameHead && differences.empty();

    if (c.json) {
        Result(std::string("{\"same\": ") + (same ? "true" : "false") +
               ", \"file_keys\": " + std::to_string(expected->PocetKlicu) +
               ", \"unit_keys\": " + std::to_string(held.PocetKlicu) +
               ", \"file_comments\": " + JsonString(commentSetting(*expected)) +
               ", \"unit_comments\": " + JsonString(commentSetting(held)) +
               ", \"differences\": " + DifferencesJson(differences, a, b) + "}");
    } else {
        if (!sameHead) {
            Result("the unit stores " + commentSetting(held) + "; " + file + " was checked with " +
                   commentSetting(*expected));
        }
        for (const std::string& line : DifferenceLines(differences, a, b, {"the file", "the unit"}))
            Result(line);
        if (same) {
            Result(DescribePort(port) + " holds the " + std::to_string(held.PocetKlicu) +
                   " keys of " + file);
        }
    }
    return same ? 0 : 1;
}

}  // namespace zak::ctl
