#pragma once

// The operator's messages of the device link, in UTF-8 (the window converts them for its
// message boxes). Plain functions; any thread.

#include <string>

#include "KeyTable.h"

namespace zak {

// The key the unit reported is a key of the table.
std::string KeyFoundMessage();

// The unit reports that no key was presented since it was last asked.
std::string NoNewKeyMessage();

// No key can be added: the table holds 2000 keys, or as many as fit in the unit's memory with
// comments of the current length; in the second case the message names that length and the
// number of keys that fit. The add command and the last-key query show the same text.
std::string TableFullMessage(const KeyTable& t);

}  // namespace zak
