#include "LinkMessages.h"

namespace zak {

std::string KeyFoundMessage() {
    return "Klíč nalezen v databázi.";
}

std::string NoNewKeyMessage() {
    return "Nebyl nově přiložen žádný klíč.";
}

std::string TableFullMessage(const KeyTable& t) {
    std::string text = "Seznam klíčů je plný, další klíč nelze přidat.";
    if (t.PocetKlicu < MaxKlicu) {
        text += " S uloženými komentáři délky " + std::to_string(t.DelkaKomentare) +
                " se do paměti ZAK vejde nejvýše " + std::to_string(KapacitaTabulky(t)) + " klíčů.";
    }
    return text;
}

}  // namespace zak
