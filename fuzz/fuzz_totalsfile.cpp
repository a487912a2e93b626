// Totals files from scales and cards: whole 28-byte records with valid dates, or a
// FileError; what is read writes back to the same bytes where the import looks.
#include "app/errors.h"
#include "scalefiles/totalsfile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace dm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    std::vector<TotalsFileRecord> records;
    try {
        records = DecodeTotalsFile(bytes);
    } catch (const FileError&) {
        return 0;
    }
    if (records.size() * kTotalsRecordSize != size_t(bytes.size()))
        abort();
    QByteArray again;
    for (const TotalsFileRecord& r : records) {
        if (!r.last.isValid() || r.dayQuantity < -(int64_t(1) << 47) ||
            r.dayQuantity >= (int64_t(1) << 47))
            abort();
        AppendTotalsRecord(again, r);
    }
    // The unused bytes 4, 5 and 7 and the other bits of byte 6 are not kept.
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const qsizetype at = i % kTotalsRecordSize;
        if (at == 4 || at == 5 || at == 7)
            continue;
        const uint8_t want = at == 6 ? uint8_t(bytes[i]) & 0x02 : uint8_t(bytes[i]);
        if (uint8_t(again[i]) != want)
            abort();
    }
    return 0;
}
