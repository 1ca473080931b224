#pragma once

#include <string>

namespace zak::ctl {

// Windows-1250 bytes as UTF-8, through the C library's iconv. Every Windows-1250 byte has a
// character except five unassigned ones, which are shown as U+FFFD.
std::string Cp1250ToUtf8(const std::string& text);

}  // namespace zak::ctl
