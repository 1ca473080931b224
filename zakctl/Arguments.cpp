#include "Arguments.h"

#include <algorithm>
#include <cstdlib>

#include "CtlError.h"

namespace zak::ctl {

namespace {

struct OptionDefinition {
    const char* name;
    char shortName;
    bool takesValue;
    const char* commands;  // the commands that take it, "*" for all
};

// Commands that talk to a unit share the line options.
constexpr const char* UnitCommands = " info read write verify last-key diff ";

const OptionDefinition Options[] = {
    {"help", 'h', false, "*"},
    {"version", 'V', false, "*"},
    {"quiet", 'q', false, "*"},
    {"json", 0, false, " ports info read write verify last-key diff export import "},
    {"log", 0, true, UnitCommands},
    {"retries", 0, true, UnitCommands},
    {"fast", 0, false, UnitCommands},
    {"gap", 0, true, UnitCommands},
    {"turnaround", 0, true, UnitCommands},
    {"port", 'p', true, " info read write verify last-key "},
    {"output", 'o', true, " read export import "},
    {"image", 0, true, " read "},
    {"limit", 0, true, " read "},
    {"comments", 0, false, " write verify "},
    {"comment-length", 0, true, " write verify "},
    {"backup", 0, true, " write "},
    {"no-backup", 0, false, " write "},
    {"no-verify", 0, false, " write "},
    {"add-to", 0, true, " last-key "},
    {"csv", 0, false, " export "},
};

struct OperandCount {
    const char* command;
    std::size_t count;
    const char* names;
};

const OperandCount Operands[] = {
    {"ports", 0, ""},         {"info", 0, ""},           {"read", 0, ""},
    {"write", 1, "FILE.ZAK"}, {"verify", 1, "FILE.ZAK"}, {"last-key", 0, ""},
    {"diff", 2, "A B"},       {"export", 1, "FILE.ZAK"}, {"import", 1, "FILE.csv"},
};

const OptionDefinition* findOption(const std::string& word) {
    for (const OptionDefinition& o : Options) {
        if (word.size() > 2 && word.compare(0, 2, "--") == 0 && word.substr(2) == o.name)
            return &o;
        if (word.size() == 2 && word[0] == '-' && o.shortName != 0 && word[1] == o.shortName)
            return &o;
    }
    return nullptr;
}

CtlError usage(const std::string& text) {
    return CtlError(ExitStatus::Usage, text + " (see zakctl --help)");
}

bool takes(const OptionDefinition& o, const std::string& command) {
    const std::string list = o.commands;
    return list == "*" || list.find(" " + command + " ") != std::string::npos;
}

}  // namespace

std::optional<std::string> Arguments::value(const std::string& option) const {
    const auto it = values.find(option);
    if (it == values.end())
        return std::nullopt;
    return it->second;
}

const std::vector<std::string>& CommandNames() {
    static const std::vector<std::string> names = {"ports",    "info", "read",   "write", "verify",
                                                   "last-key", "diff", "export", "import"};
    return names;
}

Arguments ParseArguments(const std::vector<std::string>& words) {
    Arguments a;
    std::vector<std::string> given;
    bool optionsEnd = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        std::string word = words[i];
        if (!optionsEnd && word == "--") {
            optionsEnd = true;
            continue;
        }
        if (optionsEnd || word.size() < 2 || word[0] != '-') {
            if (a.command.empty())
                a.command = word;
            else
                a.operands.push_back(word);
            continue;
        }
        std::optional<std::string> inlineValue;
        const auto eq = word.find('=');
        if (word.compare(0, 2, "--") == 0 && eq != std::string::npos) {
            inlineValue = word.substr(eq + 1);
            word = word.substr(0, eq);
        }
        const OptionDefinition* o = findOption(word);
        if (o == nullptr)
            throw usage("unknown option " + word);
        std::string value;
        if (o->takesValue) {
            if (inlineValue)
                value = *inlineValue;
            else if (i + 1 < words.size())
                value = words[++i];
            else
                throw usage(word + " needs a value");
        } else if (inlineValue) {
            throw usage(word + " takes no value");
        }
        a.values[o->name] = value;
        given.push_back(o->name);
    }

    const bool helpOrVersion = a.has("help") || a.has("version");
    if (a.command.empty()) {
        if (helpOrVersion)
            return a;
        throw usage("no command given");
    }
    const auto& names = CommandNames();
    if (std::find(names.begin(), names.end(), a.command) == names.end())
        throw usage("unknown command " + a.command);
    for (const std::string& name : given) {
        const OptionDefinition* o = findOption("--" + name);
        if (!takes(*o, a.command))
            throw usage(a.command + " does not take --" + name);
    }
    if (helpOrVersion)
        return a;
    for (const OperandCount& c : Operands) {
        if (a.command == c.command && a.operands.size() != c.count) {
            if (c.count == 0)
                throw usage(a.command + " takes no operand, but was given " + a.operands[0]);
            throw usage(a.command + " needs " + c.names);
        }
    }
    return a;
}

int NumberOption(const Arguments& args, const std::string& option, int low, int high,
                 int fallback) {
    const auto text = args.value(option);
    if (!text)
        return fallback;
    char* end = nullptr;
    const long v = std::strtol(text->c_str(), &end, 10);
    if (text->empty() || *end != '\0' || v < low || v > high) {
        throw usage("--" + option + " needs a whole number from " + std::to_string(low) + " to " +
                    std::to_string(high) + ", not \"" + *text + "\"");
    }
    return static_cast<int>(v);
}

}  // namespace zak::ctl
