// zakctl export: a key list file as CSV or JSON in UTF-8, for spreadsheets and scripts.
#include <cstdio>

#include "Commands.h"
#include "CtlError.h"
#include "KeyListExport.h"
#include "KeyListIo.h"
#include "Output.h"

namespace zak::ctl {

int RunExport(const Context& c) {
    const std::string file = c.args.operands[0];
    if (c.args.has("csv") && c.args.has("json"))
        throw CtlError(ExitStatus::Usage, "give --csv or --json, not both");
    const auto output = c.args.value("output");
    if (output)
        CheckCanWrite(*output);
    auto keys = std::make_unique<KeyTable>();
    LoadKeyList(file, *keys);
    std::string text;
    try {
        text = c.args.has("json") ? KeysToJson(*keys) : KeysToCsv(*keys);
    } catch (const KeyExportError& e) {
        throw CtlError(ExitStatus::FileFailed, "cannot export " + file + ": " + e.what());
    }
    if (output)
        SaveBytes(*output, text);
    else if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size())
        throw CtlError(ExitStatus::FileFailed, "cannot write the export to standard output");
    return 0;
}

}  // namespace zak::ctl
