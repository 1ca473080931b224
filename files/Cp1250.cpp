#include "Cp1250.h"

#include <iconv.h>

#include <cstdint>
#include <cstdio>
#include <stdexcept>

namespace zak {

namespace {

constexpr const char* CodePage = "WINDOWS-1250";

// One iconv conversion, closed on every way out.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(::iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " +
                                     to);
    }
    ~Converter() { ::iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts the input into out until it meets a byte sequence it cannot convert or
    // out is full; out keeps what was written. Returns how many input bytes were used.
    std::size_t run(std::string_view in, std::string& out) {
        char* inPtr = const_cast<char*>(in.data());  // iconv does not write the input
        std::size_t inLeft = in.size();
        char* outPtr = out.data();
        std::size_t outLeft = out.size();
        ::iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
        out.resize(out.size() - outLeft);
        return in.size() - inLeft;
    }

  private:
    iconv_t cd_;
};

std::string hexByte(unsigned char b) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%.2X", b);
    return buf;
}

// The code point of the UTF-8 character at the start of the text and its length in
// bytes, or a length of 0 when the text does not start with a valid character.
struct Utf8Char {
    std::uint32_t codePoint = 0;
    std::size_t length = 0;
};

Utf8Char firstChar(std::string_view utf8) {
    // Room for one character: the conversion stops after it, or before a bad one.
    std::string out(4, '\0');
    const std::size_t length = Converter("UTF-32LE", "UTF-8").run(utf8, out);
    Utf8Char c;
    if (out.size() == 4) {
        for (int i = 3; i >= 0; --i)
            c.codePoint = (c.codePoint << 8) | static_cast<unsigned char>(out[i]);
        c.length = length;
    }
    return c;
}

}  // namespace

TextConversion Cp1250ToUtf8(std::string_view cp1250) {
    TextConversion r;
    r.text.resize(cp1250.size() * 3);  // no character of the code page takes more
    const std::size_t done = Converter("UTF-8", CodePage).run(cp1250, r.text);
    if (done < cp1250.size()) {
        r.error = "has byte " + hexByte(static_cast<unsigned char>(cp1250[done])) +
                  ", which Windows-1250 does not define";
        r.text.clear();
    }
    return r;
}

TextConversion Utf8ToCp1250(std::string_view utf8) {
    TextConversion r;
    r.text.resize(utf8.size());  // one byte per character, and every character has one
    const std::size_t done = Converter(CodePage, "UTF-8").run(utf8, r.text);
    if (done < utf8.size()) {
        const std::string_view rest = utf8.substr(done);
        const Utf8Char c = firstChar(rest);
        if (c.length == 0) {
            r.error = "is not valid UTF-8 (byte " + hexByte(static_cast<unsigned char>(rest[0])) +
                      " at position " + std::to_string(done + 1) + ")";
        } else {
            char codePoint[16];
            std::snprintf(codePoint, sizeof codePoint, "U+%.4X", c.codePoint);
            r.error = "has a character that Windows-1250 cannot hold: '" +
                      std::string(rest.substr(0, c.length)) + "' (" + codePoint + ")";
        }
        r.text.clear();
    }
    return r;
}

}  // namespace zak
