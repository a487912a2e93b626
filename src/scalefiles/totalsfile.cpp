#include "scalefiles/totalsfile.h"

#include "app/langtext.h"
#include "scalefiles/scalerecord.h"

namespace dm {

std::vector<TotalsFileRecord> DecodeTotalsFile(const QByteArray& data, const QString& fileName) {
    std::vector<TotalsFileRecord> records;
    records.reserve(static_cast<size_t>(data.size() / kTotalsRecordSize));
    ScaleFileReader r(data, fileName);
    while (!r.atEnd()) {
        r.beginRecord();
        if (r.remaining() < kTotalsRecordSize)
            r.failTruncated();
        TotalsFileRecord rec;
        rec.plu = r.i32();
        r.skip(2);
        rec.byCount = (r.u8() & 0x02) != 0;
        r.skip(1);
        rec.dayQuantity = r.i48();
        rec.dayTransactions = r.u16();
        rec.monthQuantity = r.i48();
        rec.monthTransactions = r.u16();
        const int year = 2000 + r.u8();
        const int month = r.u8();
        const int day = r.u8();
        const int hour = r.u8();
        const QDate date(year, month, day);
        if (!date.isValid() || hour > 23)
            r.failRecord(LangText(u"Text", u"BadTotalsDate", u"invalid date of the last sale"));
        rec.last = QDateTime(date, QTime(hour, 0), Qt::UTC);
        records.push_back(rec);
    }
    return records;
}

void AppendTotalsRecord(QByteArray& out, const TotalsFileRecord& record) {
    ScaleFileWriter w(QStringLiteral("Totals.dat"));
    w.i32(record.plu);
    w.u16(0);
    w.u8(record.byCount ? 2 : 0);
    w.u8(0);
    auto i48 = [&w](int64_t v) {
        for (int i = 0; i < 6; ++i)
            w.u8(static_cast<uint8_t>(static_cast<uint64_t>(v) >> (8 * i)));
    };
    i48(record.dayQuantity);
    w.u16(record.dayTransactions);
    i48(record.monthQuantity);
    w.u16(record.monthTransactions);
    const QDate d = record.last.date();
    w.u8(static_cast<uint8_t>(d.year() - 2000));
    w.u8(static_cast<uint8_t>(d.month()));
    w.u8(static_cast<uint8_t>(d.day()));
    w.u8(static_cast<uint8_t>(record.last.time().hour()));
    out.append(w.data());
}

} // namespace dm
