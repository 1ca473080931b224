// zakctl last-key: the key presented to the unit last, and perhaps into a key list file.
#include "Commands.h"
#include "CtlError.h"
#include "KeyListIo.h"
#include "Output.h"

namespace zak::ctl {

namespace {

// The key's number in the file: found by its ID text as the window finds it, or appended
// with the window's default comment. 0 when the list is full.
struct Placement {
    int number = 0;
    bool added = false;
};

Placement place(KeyTable& keys, const TKod& kod) {
    const std::string id = Kod2ID(kod);
    for (int n = 1; n <= keys.PocetKlicu; ++n) {
        if (keys.klic(n).ID == id)
            return {n, false};
    }
    const int n = PridejKlic(keys);
    if (n != 0) {
        keys.klic(n).ID = id;
        keys.klic(n).Kod = kod;
    }
    return {n, true};
}

}  // namespace

int RunLastKey(const Context& c) {
    const std::string port = c.Port();
    const auto addTo = c.args.value("add-to");
    // The file is checked before the unit is asked: the unit forgets the key once reported.
    auto keys = std::make_unique<KeyTable>();
    if (addTo) {
        LoadKeyList(*addTo, *keys);
        CheckCanWrite(*addTo);
    }

    UnitSession unit(c.Line(port), c.log);
    unit.Open();
    const std::optional<TKod> kod = unit.LastKey();
    if (!kod) {
        if (c.json)
            Result("{\"id\": null}");
        else
            Result("no key was newly presented");
        return 1;
    }
    const std::string id = Kod2ID(*kod);
    if (!addTo) {
        Result(c.json ? "{\"id\": " + JsonString(id) + "}" : id);
        return 0;
    }
    const Placement p = place(*keys, *kod);
    if (p.number == 0) {
        Result(c.json ? "{\"id\": " + JsonString(id) + ", \"number\": null}" : id);
        throw CtlError(ExitStatus::FileFailed,
                       "cannot add " + id + " to " + *addTo + ": it already holds " +
                           std::to_string(keys->PocetKlicu) + " keys, the most a list can hold");
    }
    if (p.added)
        SaveKeyList(*addTo, *keys);
    if (c.json) {
        Result("{\"id\": " + JsonString(id) + ", \"file\": " + JsonString(*addTo) +
               ", \"number\": " + std::to_string(p.number) +
               ", \"added\": " + (p.added ? "true" : "false") + "}");
    } else {
        Result(id + (p.added ? " added to " : " found in ") + *addTo + " as key " +
               std::to_string(p.number));
    }
    return 0;
}

}  // namespace zak::ctl
