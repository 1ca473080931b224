// zakctl ports: the serial devices of this machine.
#include "Commands.h"
#include "Output.h"
#include "PortList.h"

namespace zak::ctl {

int RunPorts(const Context& c) {
    const std::vector<PortEntry> ports = ListPorts();
    if (c.json) {
        std::string text = "[";
        for (std::size_t i = 0; i < ports.size(); ++i) {
            const PortEntry& p = ports[i];
            text += std::string(i ? ",\n " : "") + "{\"name\": " + JsonString(p.name) +
                    ", \"device\": " + JsonString(p.device) + ", \"kind\": " + JsonString(p.kind) +
                    ", \"present\": " + (p.present ? "true" : "false") +
                    ", \"busy\": " + (p.busy.empty() ? "null" : JsonString(p.busy)) + "}";
        }
        Result(text + "]");
        return 0;
    }
    for (const PortEntry& p : ports) {
        std::string line = p.name;
        if (p.device != p.name)
            line += " -> " + p.device;
        if (!p.present)
            line += "  (missing)";
        if (!p.busy.empty())
            line += "  busy: " + p.busy;
        Result(line);
    }
    return 0;
}

}  // namespace zak::ctl
