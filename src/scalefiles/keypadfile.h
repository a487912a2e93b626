#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace dm {

inline constexpr int kKeypadKeyCount = 33;
inline constexpr int kKeypadRecordSize = 12;

// keyboard.dat: 33 records of key number, length 6, PLU (0 for a free key) and 00 00.
QByteArray EncodeKeypadFile(const std::array<int32_t, kKeypadKeyCount>& plus);
// The PLUs of the records in file order, at most 33; surplus records are ignored and
// the key numbers in the file are not used. Throws FileError for a file that ends
// inside one of the first 33 records.
std::vector<int32_t> DecodeKeypadFile(const QByteArray& data,
                                      const QString& fileName = QStringLiteral("keyboard.dat"));

} // namespace dm
