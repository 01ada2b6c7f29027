// The XM sync scanner alone, on every input: the module target pays for
// the player's whole module set-up per input, this one only for the scan,
// so it can run the scanner's edge cases many times more often. Row counts
// come from a fixed rule, as the player would give them for any pattern.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/midas_internal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    midas::SyncTable table;
    std::string error;
    bool ok = midas::scanXmSyncs(
        data, size, [](int pattern, void*) { return pattern % 7 == 6 ? 256 : 1 + pattern * 13 % 64; }, nullptr,
        table, &error);
    if (!ok) return 0;
    // Every row of every pattern resolves inside the table.
    for (int p = 0; p < table.patterns(); ++p)
        for (int row = 0; row < 300; ++row) {
            long i = table.rowIndex(p, row);
            if (i < 0) break;
            if (table.firstSync[static_cast<size_t>(i) + 1] > table.values.size()) __builtin_trap();
        }
    return 0;
}
