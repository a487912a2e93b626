#include "scalefiles/keypadfile.h"

#include "scalefiles/scalerecord.h"

namespace dm {

QByteArray EncodeKeypadFile(const std::array<int32_t, kKeypadKeyCount>& plus) {
    ScaleFileWriter w(QStringLiteral("keyboard.dat"));
    for (int key = 1; key <= kKeypadKeyCount; ++key) {
        w.u32(static_cast<uint32_t>(key));
        w.u16(6);
        w.i32(plus[key - 1]);
        w.u16(0);
    }
    return w.take();
}

std::vector<int32_t> DecodeKeypadFile(const QByteArray& data, const QString& fileName) {
    std::vector<int32_t> plus;
    ScaleFileReader r(data, fileName);
    while (!r.atEnd() && plus.size() < kKeypadKeyCount) {
        r.beginRecord();
        r.skip(6);
        plus.push_back(r.i32());
        r.skip(2);
    }
    return plus;
}

} // namespace dm
