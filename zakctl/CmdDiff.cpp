// zakctl diff: two key lists, each a file or a unit, matched by ID.
#include <array>
#include <optional>

#include "Commands.h"
#include "CtlError.h"
#include "DifferenceReport.h"
#include "KeyListIo.h"
#include "Output.h"
#include "PortArgument.h"

namespace zak::ctl {

namespace {

const std::string UnitPrefix = "unit:";

// One side of the diff: a key list file, or a unit read through its port.
struct Side {
    std::unique_ptr<UnitContents> unit;
    std::unique_ptr<KeyTable> file;

    ComparedList List() const {
        if (unit) {
            const KeyTable& k = *unit->keys;
            return {k, k.UkladatKomentare, k.UkladatKomentare ? k.DelkaKomentare : 0};
        }
        return {*file, true, 0};
    }
};

// The port of a "unit:PORT" operand; nothing for a file.
std::optional<std::string> unitPort(const std::string& operand) {
    if (operand.compare(0, UnitPrefix.size(), UnitPrefix) != 0)
        return std::nullopt;
    return operand.substr(UnitPrefix.size());
}

}  // namespace

int RunDiff(const Context& c) {
    const std::string& nameA = c.args.operands[0];
    const std::string& nameB = c.args.operands[1];
    // Port names are checked and files loaded first, so that a bad one costs no transfer.
    std::array<Side, 2> sides;
    const std::array<std::string, 2> names = {nameA, nameB};
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (const auto port = unitPort(names[i])) {
            CheckPortArgument(*port);
        } else {
            sides[i].file = std::make_unique<KeyTable>();
            LoadKeyList(names[i], *sides[i].file);
        }
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (const auto port = unitPort(names[i]))
            sides[i].unit = ReadUnit(c, *port);
    }
    const Side& a = sides[0];
    const Side& b = sides[1];
    const ComparedList listA = a.List();
    const ComparedList listB = b.List();
    const std::vector<KeyDifference> differences = DiffById(listA, listB);

    if (c.json) {
        Result(std::string("{\"same\": ") + (differences.empty() ? "true" : "false") +
               ", \"a\": " + JsonString(nameA) + ", \"b\": " + JsonString(nameB) +
               ", \"differences\": " + DifferencesJson(differences, listA, listB) + "}");
    } else {
        for (const std::string& line : DifferenceLines(differences, listA, listB, {nameA, nameB}))
            Result(line);
        if (differences.empty())
            Result(nameA + " and " + nameB + " hold the same keys");
    }
    return differences.empty() ? 0 : 1;
}

}  // namespace zak::ctl
