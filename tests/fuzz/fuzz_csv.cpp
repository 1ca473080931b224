// Feeds arbitrary bytes to the CSV import. Besides not crashing, a list it takes must
// export and import again to the very same keys, and a refused list must leave the table
// as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "KeyListExport.h"
#include "KeyListImport.h"

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

bool sameKeys(const zak::KeyTable& a, const zak::KeyTable& b) {
    if (a.PocetKlicu != b.PocetKlicu)
        return false;
    for (int n = 1; n <= a.PocetKlicu; ++n) {
        if (!(a.klic(n) == b.klic(n)))
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string csv(reinterpret_cast<const char*>(data), size);
    // The tables are large: on the heap, not on the fuzzer's stack.
    auto table = std::make_unique<zak::KeyTable>();
    table->PocetKlicu = 1;
    table->klic(1).Komentar = "before";
    if (!zak::CsvToKeys(csv, *table).empty()) {
        check(table->PocetKlicu == 1 && table->klic(1).Komentar == "before");
        return 0;
    }
    auto again = std::make_unique<zak::KeyTable>();
    check(zak::CsvToKeys(zak::KeysToCsv(*table), *again).empty());
    check(sameKeys(*table, *again));
    (void)zak::KeysToJson(*table);
    return 0;
}
