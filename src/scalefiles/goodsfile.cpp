#include "scalefiles/goodsfile.h"

#include "scalefiles/scalerecord.h"

namespace dm {

namespace {

QByteArray latin1Bytes(const QString& text) {
    // Barcodes are written by character code, not through the code page.
    QByteArray out(text.size(), '\0');
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        out[i] = c <= 0xFF ? static_cast<char>(c) : '\0';
    }
    return out;
}

// Skips further lines of a text: each is attribute, length and bytes, after a byte that
// is not the terminator 0x0D.
void skipLinesUntilTerminator(ScaleFileReader& r) {
    while (r.u8() != 0x0D) {
        r.skip(1);
        r.skip(r.u8());
    }
}

} // namespace

void AppendGoodsRecord(QByteArray& out, const GoodsFileItem& item, const ScaleCodePage& page,
                       const QString& fileName) {
    const QByteArray name = page.toScaleBytes(item.name);
    const QByteArray barcode = latin1Bytes(item.barcode);
    ScaleFileWriter w(fileName);
    w.i32(item.plu);
    w.u16(0);
    w.u8(item.byCount ? 2 : 0);
    w.u8(0x01); // barcode present
    w.u8(0x01);
    w.u8(0x01);
    w.u8(0x14);
    w.i32(item.priceHundredths);
    w.fill(0x00, 20);
    w.fill(0x20, 4);
    w.fill(0x00, 4);
    w.text(name);
    w.text(QByteArray());
    w.text(barcode);
    w.patchU16(4, static_cast<uint16_t>(w.size() - 6 + 1));
    uint32_t sum = 0;
    for (char c : w.data())
        sum += static_cast<uint8_t>(c);
    w.u8(static_cast<uint8_t>(sum));
    out.append(w.data());
}

QByteArray EncodeGoodsRecord(const GoodsFileItem& item, const ScaleCodePage& page,
                             const QString& fileName) {
    QByteArray out;
    AppendGoodsRecord(out, item, page, fileName);
    return out;
}

std::vector<GoodsFileItem> DecodeGoodsFile(const QByteArray& data, const ScaleCodePage& page,
                                           const QString& fileName) {
    std::vector<GoodsFileItem> items;
    ScaleFileReader r(data, fileName);
    while (!r.atEnd()) {
        r.beginRecord();
        GoodsFileItem item;
        item.plu = r.i32();
        const uint16_t length = r.u16();
        if (item.plu == 0) {
            r.skip(length);
            continue;
        }
        // Records with a PLU are walked by their structure; the length is not used.
        item.byCount = (r.u8() & 0x02) != 0;
        item.barcodeFlag = r.u8() == 0x01;
        r.skip(3);
        item.priceHundredths = r.i32();
        r.skip(29); // fixed bytes and the name's attribute
        const uint8_t nameLength = r.u8();
        const QByteArray name = r.bytes(nameLength);
        item.name = page.fromScaleBytes(name);
        while (r.u8() == 0x0C) { // further name lines are dropped
            r.skip(1);
            r.skip(r.u8());
        }
        r.skip(1); // second text, not used
        r.skip(r.u8());
        skipLinesUntilTerminator(r);
        r.skip(1);
        const QByteArray barcode = r.bytes(r.u8());
        skipLinesUntilTerminator(r);
        r.skip(1); // checksum, not verified
        if (item.barcodeFlag)
            item.barcode = QString::fromLatin1(barcode);
        items.push_back(std::move(item));
    }
    return items;
}

} // namespace dm
