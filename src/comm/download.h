#pragma once

#include "comm/transferrun.h"

#include <QString>
#include <QStringList>

namespace dm {

// Asks the scale for a file block by block with ReadBlock and writes what comes into its
// file in the export folder (created empty first). It ends at the block that the scale's
// latest total names, at a reply of fewer than 6 bytes (keeping what came) or at
// FileAbsent ("F"; for the goods and totals files with their message and a 2000 ms
// pause). Returns the number of data bytes written. A reply of 6 bytes or more that is
// too short for its header or data, and a 65 536th block, throw LinkError; the file then
// keeps what it held before.
qint64 ReceiveFile(TransferSetup& setup, ScaleLink& link, FileKind kind);

// Fetches the goods, ticket, operators and keypad files from one scale and imports each
// that brought bytes: the goods replace every goods row in one transaction, so a goods
// file that cannot be read leaves the goods as they were. An error is thrown.
void DownloadFromScale(TransferSetup& setup, const QString& address, TransferOutcome& outcome);
// Fetches the totals file from each scale in turn and appends it to Totals under that
// scale's address. An error is thrown.
void DownloadTotals(TransferSetup& setup, const QStringList& addresses, TransferOutcome& outcome);

// The download once the scale is chosen: an error ends it with "Downloading error" and is
// given in the outcome. The caller hides the panel and reloads the pages afterwards.
TransferOutcome RunDownload(TransferSetup& setup, const QString& address);
// The totals run: an error is thrown for the caller's general error report.
TransferOutcome RunTotals(TransferSetup& setup, const QStringList& addresses);

} // namespace dm
