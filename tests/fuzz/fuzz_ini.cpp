// Feeds arbitrary bytes to the INI reader and writer. Besides not crashing, every
// input must come back unchanged when nothing is set, and values set into it must
// read back from the written text as they read from memory, with no key planted.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "IniFile.h"

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    zak::IniFile ini(text);
    check(ini.bytes() == text);

    (void)ini.readInteger("Obecne", "PocetKlicu", 0);
    (void)ini.value("Klic0001", "ID");

    // The input's first bytes, whatever they hold, become a value.
    const std::string value = text.substr(0, 64);
    ini.setValue("Klic0001", "Komentar", value);
    ini.setValue("Obecne", "PocetKlicu", "1");
    ini.setValue("Nova", "Klic", value);

    const zak::IniFile reread(ini.bytes());
    check(reread.value("Klic0001", "Komentar") == ini.value("Klic0001", "Komentar"));
    check(reread.value("Nova", "Klic") == ini.value("Nova", "Klic"));
    check(reread.readInteger("Obecne", "PocetKlicu", 0) == 1);
    // A value is one line: the written text holds no key that memory does not.
    for (const char* section : {"Obecne", "Klic0001", "Nova", "Klic0002"}) {
        for (const char* key : {"ID", "Patro01", "Klic", "PocetKlicu", "Komentar"}) {
            check(reread.value(section, key) == ini.value(section, key));
        }
    }
    return 0;
}
