#pragma once

#include "scalefiles/scalecodepage.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace dm {

// One goods item as the goods file carries it.
struct GoodsFileItem {
    int32_t plu = 0;
    bool byCount = false;        // type byte 2; 0 is sold by weight
    int32_t priceHundredths = 0; // 1234 is 12.34
    QString name;                // through the scale code page
    QString barcode;             // one byte per character (codes up to U+00FF)
    bool barcodeFlag = true;     // read side: the flag byte was 0x01
};

inline constexpr int kGoodsRecordFixedSize = 53; // a record is 53 + name + barcode bytes

// One goods record with its checksum (the low byte of the sum of all bytes before it).
QByteArray EncodeGoodsRecord(const GoodsFileItem& item, const ScaleCodePage& page,
                             const QString& fileName = QStringLiteral("products.dat"));
void AppendGoodsRecord(QByteArray& out, const GoodsFileItem& item, const ScaleCodePage& page,
                       const QString& fileName = QStringLiteral("products.dat"));

// Every record of a goods file, records with PLU 0 left out. Only the first line of the
// name is kept; the checksum is not verified. Throws FileError for a file that ends
// inside a record.
std::vector<GoodsFileItem>
DecodeGoodsFile(const QByteArray& data, const ScaleCodePage& page,
                const QString& fileName = QStringLiteral("products.dat"));

} // namespace dm
