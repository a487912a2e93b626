#pragma once

#include "scalefiles/scalecodepage.h"

#include <QByteArray>
#include <QStringList>

#include <optional>

namespace dm {

inline constexpr int kTicketLineCount = 8; // five header lines, three information lines

// RVT.dat: one record with the eight ticket lines; missing lines are written empty.
QByteArray EncodeTicketFile(const QStringList& lines, const ScaleCodePage& page,
                            const QString& fileName = QStringLiteral("RVT.dat"));
// The eight lines of the first record; nullopt for an empty file. Further records are
// ignored. Throws FileError for a file that ends inside the first record.
std::optional<QStringList> DecodeTicketFile(const QByteArray& data, const ScaleCodePage& page,
                                            const QString& fileName = QStringLiteral("RVT.dat"));

} // namespace dm
