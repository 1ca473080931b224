#pragma once

// The command line of zak-sim.

#include <optional>
#include <string>
#include <vector>

namespace zak::sim {

struct SimOptions {
    std::string keyList;     // --keys FILE
    bool comments = false;   // --comments
    int commentLength = 30;  // --comment-length N
    std::string image;       // --image FILE
    int baud = 0;            // --baud N: pace replies; 0 = as fast as the line takes them
    std::string dumpOnExit;  // --dump-on-exit FILE
    int com = 1;             // --com N: the first line names ZAK_COM<N>
    std::vector<std::string> commands;  // -c COMMAND, run before the line is offered
    bool verbose = false;               // --verbose: requests and replies on standard error
    int gapMs = 250;                    // --gap MS: the silence that ends a burst on the line
    int randomPercent = 0;              // --random-faults P
    int seed = 1;                       // --seed N
    int randomDelayMs = 3000;           // --random-delay MS
    int turnaroundMs = 0;               // --turnaround MS: the unit's time to answer
    bool help = false;
    std::vector<std::string> program;  // after --: run it with ZAK_COM<N> set
};

// Parses the arguments (without the program name); the error text when they are wrong.
std::optional<std::string> ParseOptions(int argc, char** argv, SimOptions& options);

// The text of --help.
std::string UsageText();

}  // namespace zak::sim
