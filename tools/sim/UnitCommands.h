#pragma once

// The command lines the simulated unit takes on its standard input (and from -c options).

#include <string>
#include <vector>

#include "ZakUnit.h"

namespace zak::sim {

struct CommandResult {
    bool ok = true;
    std::string text;               // the line to print: "ok", "error: ...", or peeked bytes
    std::vector<LineChunk> output;  // bytes to send now (noise, send)
    bool quit = false;
};

// Runs one command line on the unit. Blank lines and lines starting with '#' do nothing.
CommandResult RunCommand(ZakUnit& unit, const std::string& line);

// The command list for --help.
const char* CommandHelp();

}  // namespace zak::sim
