#pragma once

#include <string>

namespace zak::ctl {

// The text of zakctl --help.
std::string UsageText();

// The text of zakctl COMMAND --help.
std::string CommandHelp(const std::string& command);

// The text of zakctl --version.
std::string VersionText();

}  // namespace zak::ctl
