// zakctl last-key: the key presented to the unit last, and perhaps into a key list file.
#include "Commands.h"
#include "CtlError.h"
#include "KeyListIo.h"
#include "Output.h"

namespace zak::ctl {

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
    const MistoKlice p = UmistiKlic(*keys, *kod);
    if (p.Cislo == 0) {
        Result(c.json ? "{\"id\": " + JsonString(id) + ", \"number\": null}" : id);
        throw CtlError(ExitStatus::FileFailed,
                       "cannot add " + id + " to " + *addTo + ": it already holds " +
                           std::to_string(keys->PocetKlicu) + " keys, the most a list can hold");
    }
    if (p.Pridan)
        SaveKeyList(*addTo, *keys);
    if (c.json) {
        Result("{\"id\": " + JsonString(id) + ", \"file\": " + JsonString(*addTo) +
               ", \"number\": " + std::to_string(p.Cislo) +
               ", \"added\": " + (p.Pridan ? "true" : "false") + "}");
    } else {
        Result(id + (p.Pridan ? " added to " : " found in ") + *addTo + " as key " +
               std::to_string(p.Cislo));
    }
    return 0;
}

}  // namespace zak::ctl
