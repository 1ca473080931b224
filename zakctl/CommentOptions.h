#pragma once

// --comments and --comment-length for write and verify: the settings the key list is
// converted with. Without them, the settings a loaded file gets in the window: no comments.

#include <string>

#include "Commands.h"

namespace zak::ctl {

// Sets UkladatKomentare and DelkaKomentare from the options. Throws CtlError (usage) when
// --comment-length is given without --comments, or when the keys of `file` do not fit in the
// unit's memory with comments of that length (as the key editor refuses them).
void ApplyCommentOptions(const Context& c, KeyTable& keys, const std::string& file);

}  // namespace zak::ctl
