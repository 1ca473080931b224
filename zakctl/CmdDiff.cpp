// zakctl diff: two key lists, each a file or a unit, matched by ID.
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

Side load(const Context& c, const std::string& operand) {
    Side s;
    if (operand.compare(0, UnitPrefix.size(), UnitPrefix) == 0) {
        const std::string port = operand.substr(UnitPrefix.size());
        CheckPortArgument(port);
        s.unit = ReadUnit(c, port);
    } else {
        s.file = std::make_unique<KeyTable>();
        LoadKeyList(operand, *s.file);
    }
    return s;
}

}  // namespace

int RunDiff(const Context& c) {
    const std::string& nameA = c.args.operands[0];
    const std::string& nameB = c.args.operands[1];
    // Files first, so that a bad file name costs no transfer.
    for (const std::string& name : {nameA, nameB}) {
        if (name.compare(0, UnitPrefix.size(), UnitPrefix) == 0)
            CheckPortArgument(name.substr(UnitPrefix.size()));
        else
            ReadBytes(name);
    }
    const Side a = load(c, nameA);
    const Side b = load(c, nameB);
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
