#include "PortName.h"

#include <cstdlib>

namespace zak {

std::string ResolveCommPort(const std::string& commPort) {
    const std::string prefix = "COM";
    if (commPort.size() <= prefix.size() || commPort.size() > prefix.size() + 3 ||
        commPort.compare(0, prefix.size(), prefix) != 0) {
        return commPort;
    }
    const std::string digits = commPort.substr(prefix.size());
    if (digits[0] == '0' || digits.find_first_not_of("0123456789") != std::string::npos) {
        return commPort;
    }
    const char* chosen = std::getenv(("ZAK_" + commPort).c_str());
    if (chosen != nullptr && *chosen != '\0')
        return chosen;
    return "/dev/ttyS" + std::to_string(std::stoi(digits) - 1);
}

}  // namespace zak
