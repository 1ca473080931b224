#include "CommentOptions.h"

#include "CtlError.h"

namespace zak::ctl {

void ApplyCommentOptions(const Context& c, KeyTable& keys, const std::string& file) {
    keys.UkladatKomentare = c.args.has("comments");
    if (c.args.has("comment-length") && !keys.UkladatKomentare)
        throw CtlError(ExitStatus::Usage, "--comment-length needs --comments");
    keys.DelkaKomentare = static_cast<std::uint16_t>(
        NumberOption(c.args, "comment-length", 1, 50, VychoziDelkaKomentare));
    const int capacity = KapacitaTabulky(keys);
    if (keys.PocetKlicu > capacity) {
        throw CtlError(ExitStatus::Usage,
                       file + " holds " + std::to_string(keys.PocetKlicu) +
                           " keys, but with comments of " + std::to_string(keys.DelkaKomentare) +
                           " bytes the unit's memory holds at most " + std::to_string(capacity) +
                           "; give a shorter --comment-length or leave out --comments");
    }
}

}  // namespace zak::ctl
