#include "scalefiles/ticketfile.h"

#include "scalefiles/scalerecord.h"

namespace dm {

QByteArray EncodeTicketFile(const QStringList& lines, const ScaleCodePage& page,
                            const QString& fileName) {
    ScaleFileWriter w(fileName);
    w.u32(1);
    w.u16(0);
    for (int i = 0; i < kTicketLineCount; ++i)
        w.text(page.toScaleBytes(i < lines.size() ? lines[i] : QString()));
    w.patchU16(4, static_cast<uint16_t>(w.size() - 6));
    return w.take();
}

std::optional<QStringList> DecodeTicketFile(const QByteArray& data, const ScaleCodePage& page,
                                            const QString& fileName) {
    if (data.isEmpty())
        return std::nullopt;
    ScaleFileReader r(data, fileName);
    r.beginRecord();
    r.skip(6);
    QStringList lines;
    for (int i = 0; i < kTicketLineCount; ++i) {
        r.skip(1);
        lines.append(page.fromScaleBytes(r.bytes(r.u8())));
        r.skip(1); // terminator
    }
    return lines;
}

} // namespace dm
