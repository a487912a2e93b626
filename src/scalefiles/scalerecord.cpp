#include "scalefiles/scalerecord.h"

#include "app/errors.h"
#include "app/langtext.h"

namespace dm {

void ScaleFileWriter::u16(uint16_t v) {
    u8(static_cast<uint8_t>(v));
    u8(static_cast<uint8_t>(v >> 8));
}

void ScaleFileWriter::u32(uint32_t v) {
    for (int i = 0; i < 4; ++i)
        u8(static_cast<uint8_t>(v >> (8 * i)));
}

void ScaleFileWriter::text(const QByteArray& bytes) {
    // The length travels in one byte.
    if (bytes.size() > 255)
        throw FileError(m_fileName + QStringLiteral(": ") +
                        LangText(u"Text", u"TextTooLong", u"text longer than 255 bytes"));
    u8(0x00);
    u8(static_cast<uint8_t>(bytes.size()));
    m_data.append(bytes);
    u8(0x0D);
}

void ScaleFileWriter::patchU16(qsizetype pos, uint16_t v) {
    m_data[pos] = static_cast<char>(v);
    m_data[pos + 1] = static_cast<char>(v >> 8);
}

void ScaleFileReader::need(qsizetype count) const {
    if (count < 0 || count > remaining())
        failTruncated();
}

uint8_t ScaleFileReader::u8() {
    need(1);
    return static_cast<uint8_t>(m_data[m_pos++]);
}

uint16_t ScaleFileReader::u16() {
    need(2);
    const auto* p = reinterpret_cast<const uint8_t*>(m_data.constData() + m_pos);
    m_pos += 2;
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t ScaleFileReader::u32() {
    need(4);
    const auto* p = reinterpret_cast<const uint8_t*>(m_data.constData() + m_pos);
    m_pos += 4;
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

int64_t ScaleFileReader::i48() {
    need(6);
    const auto* p = reinterpret_cast<const uint8_t*>(m_data.constData() + m_pos);
    m_pos += 6;
    uint64_t v = 0;
    for (int i = 5; i >= 0; --i)
        v = (v << 8) | p[i];
    if (v & (uint64_t(1) << 47))
        v |= ~((uint64_t(1) << 48) - 1);
    return static_cast<int64_t>(v);
}

QByteArray ScaleFileReader::bytes(qsizetype count) {
    need(count);
    QByteArray out = m_data.mid(m_pos, count);
    m_pos += count;
    return out;
}

void ScaleFileReader::skip(qsizetype count) {
    need(count);
    m_pos += count;
}

void ScaleFileReader::failTruncated() const {
    failRecord(LangText(u"Text", u"FileEndsInRecord", u"the file ends inside a record"));
}

void ScaleFileReader::failRecord(const QString& what) const {
    throw FileError(m_fileName + QStringLiteral(": ") + what + QStringLiteral(" (") +
                    LangText(u"Text", u"RecordAtByte", u"record at byte") + u' ' +
                    QString::number(m_record) + u')');
}

} // namespace dm
