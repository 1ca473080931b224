#include "TextCoding.h"

#include <iconv.h>

#include <cerrno>

namespace zak::ctl {

std::string Cp1250ToUtf8(const std::string& text) {
    const iconv_t cd = iconv_open("UTF-8", "CP1250");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return text;
    std::string out;
    char buffer[256];
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    while (inLeft > 0) {
        char* o = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
        out.append(buffer, static_cast<std::size_t>(o - buffer));
        if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
            out += "\xEF\xBF\xBD";
            ++in;
            --inLeft;
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace zak::ctl
