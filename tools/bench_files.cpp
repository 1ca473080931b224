// Measures saving and loading key list files: a full list of 2000 keys, and a file
// whose one section holds many keys (as a file edited by hand or by another program
// may), where each key read must not search the whole section again.
//   bench_files [<keys in the big section>]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include <stdlib.h>
#include <unistd.h>

#include "DiskFile.h"
#include "KeyListFile.h"

namespace {

using namespace zak;
using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int bigSection = argc > 1 ? std::atoi(argv[1]) : 50'000;
    char folder[] = "/tmp/zak-bench-XXXXXX";
    if (!mkdtemp(folder))
        return 1;
    const std::string full = std::string(folder) + "/full.ZAK";
    const std::string big = std::string(folder) + "/big.ZAK";

    auto t = std::make_unique<KeyTable>();
    t->PocetKlicu = MaxKlicu;
    for (int k = 1; k <= MaxKlicu; ++k) {
        t->klic(k).ID = "0102030405" + std::to_string(1000 + k % 9000);
        t->klic(k).Komentar = "Klic c. " + std::to_string(k);
        t->klic(k).Patra[k % PocetPater] = 1;
    }
    auto start = Clock::now();
    const bool saved = !UlozSeznamKlicu(full, *t);
    const double saveMs = msSince(start);
    start = Clock::now();
    const int loaded = NactiSeznamKlicu(full, *t);
    std::printf("key list of %d keys: save %.1f ms%s, load %.1f ms (%d keys)\n", MaxKlicu, saveMs,
                saved ? "" : " FAILED", msSince(start), loaded);

    // Key 1's values come last in a section of many other keys.
    std::string text = "[Obecne]\r\nPocetKlicu=1\r\n[Klic0001]\r\n";
    for (int i = 0; i < bigSection; ++i)
        text += "Poznamka" + std::to_string(i) + "=x\r\n";
    text += "ID=0A0B0C0D0E0F10\r\nKomentar=last\r\n";
    for (int p = 1; p <= PocetPater; ++p)
        text += "Patro" + std::string(p < 10 ? "0" : "") + std::to_string(p) + "=1\r\n";
    replaceFile(big, text);
    start = Clock::now();
    NactiSeznamKlicu(big, *t);
    std::printf("one section of %d keys: load %.1f ms\n", bigSection, msSince(start));
    start = Clock::now();
    UlozSeznamKlicu(big, *t);
    std::printf("one section of %d keys: save %.1f ms\n", bigSection, msSince(start));

    unlink(full.c_str());
    unlink(big.c_str());
    rmdir(folder);
    return 0;
}
