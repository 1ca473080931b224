#pragma once

// What the zakctl tests share: the programs, a folder of the test's own, zak-sim on a
// pseudo-terminal, and key lists loaded with the window's reader.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "KeyConversion.h"
#include "KeyListFile.h"
#include "SimProcess.h"
#include "TempFolder.h"
#include "ZakctlRun.h"

namespace zak::test {

const std::string Zakctl = ZAKCTL_PATH;
const std::string Sim = ZAK_SIM_PATH;
const std::string Sample = ZAK_SIM_SAMPLE;

// Both ends of the simulated line use a short burst gap, and zak-sim answers at once: the
// tests need not wait as long as a real unit may take.
const std::string TestGap = "20";
const std::string TestTurnaround = "100";

class ZakctlTest : public ::testing::Test {
  protected:
    // Starts zak-sim with `args` and takes its terminal as the port.
    void StartUnit(std::vector<std::string> args) {
        args.insert(args.begin(), Sim);
        unit = std::make_unique<SimProcess>(std::move(args));
        port = unit->firstLine().substr(unit->firstLine().find('=') + 1);
    }

    // zakctl with the arguments given, plus the simulated line's timing.
    Outcome Ctl(std::vector<std::string> args) {
        args.insert(args.begin(), Zakctl);
        args.insert(args.end(), {"--gap", TestGap, "--turnaround", TestTurnaround});
        return RunProgram(args);
    }

    // zakctl with exactly these arguments.
    static Outcome Plain(std::vector<std::string> args) {
        args.insert(args.begin(), Zakctl);
        return RunProgram(args);
    }

    static std::unique_ptr<KeyTable> Load(const std::string& path) {
        auto keys = std::make_unique<KeyTable>();
        NactiSeznamKlicu(path, *keys);
        return keys;
    }

    // The unit's memory, as zak-sim dumps it.
    std::string UnitMemory() {
        const std::string path = dir.file("unit-memory.bin");
        EXPECT_EQ(unit->command("dump " + path), "ok");
        return readBytes(path);
    }

    TempFolder dir;
    std::unique_ptr<SimProcess> unit;
    std::string port;
};

inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace zak::test
