#include "scalefiles/operatorsfile.h"

#include "app/errors.h"
#include "app/langtext.h"
#include "scalefiles/scalerecord.h"

namespace dm {

QByteArray EncodeOperatorsFile(const std::vector<OperatorFileItem>& items,
                               const ScaleCodePage& page, const QString& fileName) {
    ScaleFileWriter w(fileName);
    for (const OperatorFileItem& item : items) {
        const QByteArray password = page.toScaleBytes(item.password);
        const QByteArray name = page.toScaleBytes(item.name);
        const qsizetype payload = password.size() + name.size() + 6;
        // The scale takes at most 255 payload bytes per operator.
        if (payload > 255)
            throw FileError(fileName + QStringLiteral(": ") +
                            LangText(u"Text", u"TextTooLong", u"text longer than 255 bytes"));
        w.u32(item.key);
        w.u16(static_cast<uint16_t>(payload));
        w.text(password);
        w.text(name);
    }
    return w.take();
}

std::vector<OperatorFileItem> DecodeOperatorsFile(const QByteArray& data, const ScaleCodePage& page,
                                                  const QString& fileName) {
    std::vector<OperatorFileItem> items;
    ScaleFileReader r(data, fileName);
    while (!r.atEnd()) {
        r.beginRecord();
        OperatorFileItem item;
        item.key = r.u8();
        r.skip(3 + 2);
        r.skip(1);
        item.password = page.fromScaleBytes(r.bytes(r.u8()));
        r.skip(1 + 1);
        item.name = page.fromScaleBytes(r.bytes(r.u8()));
        r.skip(1);
        items.push_back(std::move(item));
    }
    return items;
}

} // namespace dm
