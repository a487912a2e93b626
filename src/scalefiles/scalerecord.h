#pragma once

#include "scalefiles/scalecodepage.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace dm {

// Builds a scale file: little-endian integers and single-line ScaleText fields
// (attribute 0x00, length byte, bytes, 0x0D). fileName only names the file in errors.
class ScaleFileWriter {
public:
    explicit ScaleFileWriter(QString fileName) : m_fileName(std::move(fileName)) {}

    void u8(uint8_t v) { m_data.append(static_cast<char>(v)); }
    void u16(uint16_t v);
    void u32(uint32_t v);
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void fill(uint8_t v, int count) { m_data.append(count, static_cast<char>(v)); }
    // A text of at most 255 bytes; a longer one throws FileError naming the file.
    void text(const QByteArray& bytes);
    // Overwrites the 16-bit value at pos (for payload lengths known at the end).
    void patchU16(qsizetype pos, uint16_t v);

    qsizetype size() const { return m_data.size(); }
    const QByteArray& data() const { return m_data; }
    QByteArray take() { return std::move(m_data); }
    const QString& fileName() const { return m_fileName; }

private:
    QString m_fileName;
    QByteArray m_data;
};

// Reads a scale file with every length bounded by the bytes present. Running out of
// bytes throws FileError naming the file and the offset of the record being read.
class ScaleFileReader {
public:
    ScaleFileReader(const QByteArray& data, QString fileName)
        : m_data(data), m_fileName(std::move(fileName)) {}

    bool atEnd() const { return m_pos >= m_data.size(); }
    qsizetype pos() const { return m_pos; }
    qsizetype remaining() const { return m_data.size() - m_pos; }

    // Marks the start of a record; errors name this offset.
    void beginRecord() { m_record = m_pos; }
    qsizetype recordOffset() const { return m_record; }

    uint8_t u8();
    uint16_t u16();
    uint32_t u32();
    int32_t i32() { return static_cast<int32_t>(u32()); }
    int64_t i48(); // sign-extended
    QByteArray bytes(qsizetype count);
    void skip(qsizetype count);

    [[noreturn]] void failTruncated() const;
    // A record whose content cannot be used: "<file>: <what> <offset text>".
    [[noreturn]] void failRecord(const QString& what) const;

private:
    void need(qsizetype count) const;

    const QByteArray& m_data;
    QString m_fileName;
    qsizetype m_pos = 0;
    qsizetype m_record = 0;
};

} // namespace dm
