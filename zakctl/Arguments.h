#pragma once

// The command line of zakctl: a command word, its options and its operands. Options may
// stand before or after the command and take their value as the next word or after '='.

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zak::ctl {

struct Arguments {
    std::string command;                        // empty when none was given
    std::map<std::string, std::string> values;  // option name (without dashes) -> value
    std::vector<std::string> operands;          // words after the command

    bool has(const std::string& option) const { return values.count(option) != 0; }
    std::optional<std::string> value(const std::string& option) const;
};

// The commands zakctl knows.
const std::vector<std::string>& CommandNames();

// Parses the words after the program name. Throws CtlError (usage) for an unknown command or
// option, an option the command does not take, a missing value, or a wrong number of operands.
Arguments ParseArguments(const std::vector<std::string>& words);

// An option's value as a whole number in [low, high]; throws CtlError (usage) otherwise.
int NumberOption(const Arguments& args, const std::string& option, int low, int high, int fallback);

}  // namespace zak::ctl
