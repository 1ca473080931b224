// zakctl import: a key list file from CSV in UTF-8, as export writes it or a spreadsheet
// saves it. Every row is checked; a file with any fault is refused whole.
#include "Commands.h"
#include "CtlError.h"
#include "KeyListImport.h"
#include "KeyListIo.h"
#include "Output.h"

namespace zak::ctl {

int RunImport(const Context& c) {
    const std::string csv = c.args.operands[0];
    const auto output = c.args.value("output");
    if (!output)
        throw CtlError(ExitStatus::Usage, "import needs -o FILE.ZAK");
    CheckCanWrite(*output);
    auto keys = std::make_unique<KeyTable>();
    const std::vector<KeyListError> errors = CsvToKeys(ReadBytes(csv), *keys);
    if (!errors.empty()) {
        for (const KeyListError& e : errors)
            Message(csv + ": " + e.text());
        throw CtlError(ExitStatus::FileFailed, "nothing imported: " + csv + " has " +
                                                   std::to_string(errors.size()) + " faults");
    }
    SaveKeyList(*output, *keys);
    if (c.json) {
        Result("{\"file\": " + JsonString(*output) +
               ", \"keys\": " + std::to_string(keys->PocetKlicu) + "}");
    } else {
        Result("imported " + std::to_string(keys->PocetKlicu) + " keys from " + csv + " into " +
               *output);
    }
    return 0;
}

}  // namespace zak::ctl
