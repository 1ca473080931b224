#pragma once

// How zakctl speaks: results on standard output, messages on standard error, JSON for
// scripts, and key texts (Windows-1250 in key lists) shown as UTF-8.

#include <string>

#include "KeyListExport.h"

namespace zak::ctl {

// One line of results on standard output.
void Result(const std::string& line);

// One line of a message on standard error, prefixed "zakctl: ".
void Message(const std::string& line);

// A key list's text (Windows-1250 bytes) in UTF-8, for the terminal and for JSON. A byte the
// code page does not define is shown as \xNN.
std::string ShownText(const std::string& cp1250);

}  // namespace zak::ctl
