#pragma once

#include "scalefiles/scalecodepage.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace dm {

// One record of Salesmen.dat: the key is the row's position when written; the reader
// gives the first key byte, which is the operator ID.
struct OperatorFileItem {
    uint32_t key = 0;
    QString password;
    QString name;
};

// A record whose payload would exceed 255 bytes throws FileError.
QByteArray EncodeOperatorsFile(const std::vector<OperatorFileItem>& items,
                               const ScaleCodePage& page,
                               const QString& fileName = QStringLiteral("Salesmen.dat"));
std::vector<OperatorFileItem>
DecodeOperatorsFile(const QByteArray& data, const ScaleCodePage& page,
                    const QString& fileName = QStringLiteral("Salesmen.dat"));

} // namespace dm
