// zakctl read: the unit's keys into a key list file, as the window's download and save.
#include "Commands.h"
#include "CtlError.h"
#include "KeyListIo.h"
#include "Output.h"
#include "PortArgument.h"

namespace zak::ctl {

int RunRead(const Context& c) {
    const std::string port = c.Port();
    const auto limit = static_cast<std::uint16_t>(NumberOption(c.args, "limit", 0, 65535, 2000));
    const std::string output = c.args.value("output").value_or(TimestampedName("zak-", ".ZAK"));
    const auto image = c.args.value("image");
    if (image && SameFile(*image, output))
        throw CtlError(ExitStatus::Usage, "the key list and the image must go into two files");
    CheckCanWrite(output);
    if (image)
        CheckCanWrite(*image);
    // Nothing is written until the whole unit has been read.
    const auto unit = ReadUnit(c, port, limit);
    SaveKeyList(output, *unit->keys);
    if (image)
        SaveImage(*image, unit->image);

    const KeyTable& k = *unit->keys;
    if (c.json) {
        Result("{\"file\": " + JsonString(output) +
               ", \"image\": " + (image ? JsonString(*image) : "null") +
               ", \"keys\": " + std::to_string(k.PocetKlicu) +
               ", \"head_keys\": " + std::to_string(unit->headCount) +
               ", \"comments\": " + (k.UkladatKomentare ? "true" : "false") +
               ", \"comment_length\": " + std::to_string(k.DelkaKomentare) + "}");
        return 0;
    }
    std::string comments = k.UkladatKomentare
                               ? "comments of " + std::to_string(k.DelkaKomentare) + " bytes"
                               : "no comments";
    Result("read " + std::to_string(k.PocetKlicu) + " keys (" + comments + ") from " +
           DescribePort(port) + " into " + output);
    if (unit->headCount > k.PocetKlicu) {
        c.Note("the unit's head names " + std::to_string(unit->headCount) + " keys; " +
               std::to_string(k.PocetKlicu) + " were read (--limit, or what fits)");
    }
    return 0;
}

}  // namespace zak::ctl
