#include "Output.h"

#include <cstdio>

#include "Cp1250.h"

namespace zak::ctl {

void Result(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

void Message(const std::string& line) {
    std::fprintf(stderr, "zakctl: %s\n", line.c_str());
}

std::string ShownText(const std::string& cp1250) {
    const TextConversion utf8 = Cp1250ToUtf8(cp1250);
    if (utf8.ok())
        return utf8.text;
    // A byte the code page does not define is shown by its value.
    std::string shown;
    for (const char c : cp1250) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x80) {
            shown += c;
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", u);
            shown += buf;
        }
    }
    return shown;
}

}  // namespace zak::ctl
