#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <vector>

namespace dm {

inline constexpr int kTotalsRecordSize = 28;

// One 28-byte totals record. Quantities are grams for goods sold by weight and pieces
// for goods sold by count.
struct TotalsFileRecord {
    int32_t plu = 0;
    bool byCount = false; // type bit 1
    int64_t dayQuantity = 0;
    uint16_t dayTransactions = 0;
    int64_t monthQuantity = 0;
    uint16_t monthTransactions = 0;
    // The scale's wall-clock time of the last sale, whole hours. Held in UTC only so
    // that no daylight-saving rule shifts it; it carries no zone.
    QDateTime last;
};

// Every record of a totals file. A file whose length is not a multiple of 28, or a
// record whose date and hour are not valid, throws FileError naming the record's offset.
std::vector<TotalsFileRecord>
DecodeTotalsFile(const QByteArray& data, const QString& fileName = QStringLiteral("Totals.dat"));
// The scale's side of the format (the simulator and tests write totals with it).
void AppendTotalsRecord(QByteArray& out, const TotalsFileRecord& record);

} // namespace dm
