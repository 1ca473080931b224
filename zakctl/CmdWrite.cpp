// zakctl write: a key list into the unit, after a backup of what it held, proved by reading
// the written blocks back.
#include "CommentOptions.h"
#include "CtlError.h"
#include "DifferenceReport.h"
#include "KeyConversion.h"
#include "KeyListIo.h"
#include "Output.h"
#include "PortArgument.h"

namespace zak::ctl {

namespace {

// Reads the whole unit into a key list file before anything is written.
void TakeBackup(const Context& c, UnitSession& unit, const std::string& path) {
    UnitContents backup;
    DownloadUnit(unit, *backup.keys, backup.image, c.progress);
    Mem2Keys(backup.image, *backup.keys);
    SaveKeyList(path, *backup.keys);
    c.Note("backup of the unit (" + std::to_string(backup.keys->PocetKlicu) + " keys) in " + path);
}

}  // namespace

int RunWrite(const Context& c) {
    const std::string file = c.args.operands[0];
    const std::string port = c.Port();
    if (c.args.has("backup") && c.args.has("no-backup"))
        throw CtlError(ExitStatus::Usage, "give --backup FILE or --no-backup, not both");
    auto keys = std::make_unique<KeyTable>();
    LoadKeyList(file, *keys);
    ApplyCommentOptions(c, *keys, file);
    MemoryImage image;
    Keys2Mem(*keys, image);

    std::optional<std::string> backup;
    if (!c.args.has("no-backup")) {
        backup = c.args.value("backup").value_or(TimestampedName("zak-backup-", ".ZAK"));
        // The backup would replace the list being written, and with it the only copy of it.
        if (SameFile(*backup, file))
            throw CtlError(ExitStatus::Usage, "the backup must not go into " + file + " itself");
        CheckCanWrite(*backup);
    }

    UnitSession unit(c.Line(port), c.log);
    unit.Open();
    if (backup)
        TakeBackup(c, unit, *backup);
    try {
        UploadImage(unit, *keys, image, c.progress);
    } catch (const CtlError& e) {
        const std::string restore =
            backup ? "; restore it with: zakctl write --port " + port + " " + *backup : "";
        throw CtlError(e.status(),
                       std::string(e.what()) + "; the unit may be partly written" + restore);
    }

    const bool verify = !c.args.has("no-verify");
    std::vector<ByteDifference> differences;
    if (verify)
        differences = ReadBack(unit, *keys, image, c.progress);

    if (c.json) {
        std::string list;
        for (const ByteDifference& d : differences) {
            list += std::string(list.empty() ? "" : ", ") +
                    "{\"address\": " + std::to_string(d.addr) +
                    ", \"meaning\": " + JsonString(AddressMeaning(d.addr, *keys)) +
                    ", \"wrote\": " + std::to_string(d.expected) +
                    ", \"found\": " + std::to_string(d.found) + "}";
        }
        Result("{\"file\": " + JsonString(file) +
               ", \"keys\": " + std::to_string(keys->PocetKlicu) +
               ", \"backup\": " + (backup ? JsonString(*backup) : "null") + ", \"verified\": " +
               (verify ? "true" : "false") + ", \"differences\": [" + list + "]}");
    } else {
        for (const ByteDifference& d : differences)
            Result(ByteDifferenceLine(d, *keys));
        if (differences.empty()) {
            Result("wrote " + std::to_string(keys->PocetKlicu) + " keys from " + file + " to " +
                   DescribePort(port) + (verify ? ", read back and found equal" : ""));
        }
    }
    if (!differences.empty()) {
        Message("the unit does not hold what was written: " + std::to_string(differences.size()) +
                " bytes differ");
        return 1;
    }
    return 0;
}

}  // namespace zak::ctl
