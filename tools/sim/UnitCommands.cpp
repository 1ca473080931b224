#include "UnitCommands.h"

#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>

#include "UnitMemoryFiles.h"

namespace zak::sim {

namespace {

bool parseInt(const std::string& word, int base, int low, int high, int& value) {
    if (word.empty())
        return false;
    char* end = nullptr;
    const long v = std::strtol(word.c_str(), &end, base);
    if (*end != '\0' || v < low || v > high)
        return false;
    value = static_cast<int>(v);
    return true;
}

bool parseHexByte(const std::string& word, std::uint8_t& b) {
    int v = 0;
    if (word.size() > 2 || !parseInt(word, 16, 0, 255, v))
        return false;
    b = static_cast<std::uint8_t>(v);
    return true;
}

// Up to 14 hex digits, completed with zeros: the ID text of a key.
bool parseId(const std::string& word, TKod& kod) {
    if (word.empty() || word.size() > 2 * DelkaKodu)
        return false;
    const std::string full = word + std::string(2 * DelkaKodu - word.size(), '0');
    for (int i = 0; i < DelkaKodu; ++i) {
        if (!parseHexByte(full.substr(static_cast<std::size_t>(2 * i), 2),
                          kod[static_cast<std::size_t>(i)]))
            return false;
    }
    return true;
}

bool parseFault(std::istringstream& in, Fault& f) {
    std::string name, arg;
    in >> name >> arg;
    int value = 0;
    if (name == "drop" && arg.empty())
        f = {FaultKind::Drop};
    else if (name == "corrupt" && arg.empty())
        f = {FaultKind::Corrupt};
    else if (name == "double" && arg.empty())
        f = {FaultKind::Double};
    else if (name == "split" && parseInt(arg, 10, 0, 60000, value))
        f = {FaultKind::Split, value};
    else if (name == "delay" && parseInt(arg, 10, 0, 60000, value))
        f = {FaultKind::Delay, value};
    else if (name == "code" && arg.size() <= 2 && parseInt(arg, 16, 0, 255, value))
        f = {FaultKind::Code, value};
    else if (name == "noise-before" && parseInt(arg, 10, 0, 60000, value))
        f = {FaultKind::Noise, value};
    else if (name == "twice" && parseInt(arg, 10, 0, 60000, value))
        f = {FaultKind::Twice, value};
    else
        return false;
    std::string extra;
    return !(in >> extra);
}

CommandResult error(const std::string& text) {
    return {false, "error: " + text, {}, false};
}

CommandResult ok() {
    return {true, "ok", {}, false};
}

}  // namespace

CommandResult RunCommand(ZakUnit& unit, const std::string& line) {
    std::istringstream in(line);
    std::string word;
    if (!(in >> word) || word[0] == '#')
        return ok();

    if (word == "present") {
        std::string id;
        TKod kod{};
        if (!(in >> id) || !parseId(id, kod))
            return error("present needs a key ID of up to 14 hex digits");
        unit.present(kod);
        return ok();
    }
    if (word == "forget") {
        unit.forgetPresented();
        return ok();
    }
    if (word == "at") {
        int request = 0;
        std::string n;
        Fault f{};
        if (!(in >> n) || !parseInt(n, 10, 1, 1 << 30, request) || !parseFault(in, f))
            return error("usage: at <request number> <fault>");
        unit.addFaultAt(request, f);
        return ok();
    }
    if (word == "wrong-byte") {
        std::string a;
        int addr = 0;
        if (!(in >> a)) {
            unit.storeWrongByte(std::nullopt);
            return ok();
        }
        if (!parseInt(a, 0, 0, UnitMemorySize - 1, addr))
            return error("usage: wrong-byte [<address>]");
        unit.storeWrongByte(addr);
        return ok();
    }
    if (word == "random") {
        std::string p, seedWord;
        int percent = 0, seed = 1;
        if (!(in >> p) || !parseInt(p, 10, 0, 100, percent) ||
            ((in >> seedWord) && !parseInt(seedWord, 10, 0, 1 << 30, seed)))
            return error("usage: random <percent 0..100> [<seed>]");
        RandomFaults r = unit.randomFaults();
        r.percent = percent;
        unit.setRandomFaults(r, static_cast<std::uint32_t>(seed));
        return ok();
    }
    if (word == "stats")
        return {true,
                "requests " + std::to_string(unit.requestCount()) + " faults " +
                    std::to_string(unit.faultCount()),
                {},
                false};
    if (word == "noise") {
        std::string n;
        int count = 0;
        if (!(in >> n) || !parseInt(n, 10, 1, 4096, count))
            return error("usage: noise <1..4096>");
        static std::mt19937 random{std::random_device{}()};
        Bytes bytes(static_cast<std::size_t>(count));
        for (auto& b : bytes)
            b = static_cast<std::uint8_t>(random());
        CommandResult r = ok();
        r.output.push_back({std::chrono::milliseconds{0}, std::move(bytes)});
        return r;
    }
    if (word == "send") {
        Bytes bytes;
        std::string hex;
        while (in >> hex) {
            std::uint8_t b = 0;
            if (!parseHexByte(hex, b))
                return error("send takes hex bytes: send 23 DC");
            bytes.push_back(b);
        }
        if (bytes.empty())
            return error("send takes hex bytes: send 23 DC");
        CommandResult r = ok();
        r.output.push_back({std::chrono::milliseconds{0}, std::move(bytes)});
        return r;
    }
    if (word == "peek") {
        std::string a, n;
        int addr = 0, count = 0;
        if (!(in >> a >> n) || !parseInt(a, 0, 0, UnitMemorySize - 1, addr) ||
            !parseInt(n, 0, 1, UnitMemorySize - addr, count))
            return error("usage: peek <address> <count>, inside 0..0x7FFF");
        std::string text;
        char pair[4];
        for (int i = 0; i < count; ++i) {
            std::snprintf(pair, sizeof pair, "%.2X",
                          unit.memory()[static_cast<std::size_t>(addr + i)]);
            text += (i ? " " : "");
            text += pair;
        }
        return {true, text, {}, false};
    }
    if (word == "dump") {
        std::string path;
        if (!(in >> path))
            return error("usage: dump <file>");
        if (!SaveImage(path, unit.memory()))
            return error("cannot write " + path);
        return ok();
    }
    if (word == "quit") {
        CommandResult r = ok();
        r.quit = true;
        return r;
    }
    std::istringstream faultLine(line);
    Fault f{};
    if (parseFault(faultLine, f)) {
        unit.addFault(f);
        return ok();
    }
    return error("unknown command: " + line);
}

const char* CommandHelp() {
    return "Commands on standard input, one per line (each answered by one line, \"ok\",\n"
           "\"error: ...\" or the bytes asked for):\n"
           "  present <ID>        a key is presented: up to 14 hex digits, e.g. 0A1B2C3D4E5F60\n"
           "  forget              no key counts as newly presented\n"
           "  peek <addr> <n>     print n bytes of memory from addr (decimal or 0x hex)\n"
           "  dump <file>         write the 32768 bytes of memory to a file\n"
           "  noise <n>           send n random bytes now\n"
           "  send <hex bytes>    send these bytes now, e.g. send 11 00 ... (no checksum added)\n"
           "  wrong-byte [<addr>] the next write reaching addr (without one: the next write)\n"
           "                      is acknowledged but stores that byte (its first) inverted\n"
           "  random <p> [<seed>] from now on give each reply a random fault (any kind below,\n"
           "                      delay past the tool's wait) with a chance of p %\n"
           "  stats               print \"requests <n> faults <m>\": requests and faulty replies\n"
           "  quit                end the simulation (once the replies on their way are out)\n"
           "Faults, each for one reply (queued: the next reply without a fault takes the\n"
           "first one), or with \"at <n> \" in front for the reply to request n (from 1):\n"
           "  drop                send no reply\n"
           "  corrupt             send the reply with a wrong checksum\n"
           "  split <ms>          pause <ms> after the first half of the reply\n"
           "  delay <ms>          pause <ms> before the reply\n"
           "  code <hex>          answer with another code (checksum made good)\n"
           "  double              send the reply twice in one burst\n"
           "  noise-before <ms>   send a few bytes of noise, pause <ms>, then the reply\n"
           "  twice <ms>          send the reply, pause <ms>, send it again\n";
}

}  // namespace zak::sim
