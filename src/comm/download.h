#pragma once

#include "comm/transferrun.h"

#include <QString>
#include <QStringList>

namespace dm {

// Asks the scale for a file block by block with ReadBlock and writes what comes into its
// file in the export folder. It ends at the block that the scale's latest total names
// (or passes), at FileAbsent ("F"; for the goods and totals files with their message and
// a 2000 ms pause; the file is left empty), at a total of 0 (an empty file) and at a
// first reply of fewer than 6 bytes (nothing came: an empty file). Returns the number of
// data bytes written. A short reply after some blocks but before the last, a frame that
// cannot be written and a link that has gone throw ScaleTurnError; a reply of 6 bytes or
// more that is too short for its header or data throws LinkError. Whatever is thrown,
// the file keeps what it held before.
qint64 ReceiveFile(TransferSetup& setup, ScaleLink& link, FileKind kind);

// Fetches the goods, ticket, operators and keypad files from one scale and imports each
// that brought bytes: the goods replace every goods row in one transaction, so a goods
// file that cannot be read leaves the goods as they were. A ScaleTurnError ends the
// turn with "Downloading error" and its reason (the files imported before it stay);
// any other error is thrown.
void DownloadFromScale(TransferSetup& setup, const QString& address, TransferOutcome& outcome);
// Fetches the totals file from each scale in turn and appends it to Totals under that
// scale's address. A ScaleTurnError ends that scale's turn with "Downloading error" and
// the run goes on; any other error is thrown.
void DownloadTotals(TransferSetup& setup, const QStringList& addresses, TransferOutcome& outcome);

// The download once the scale is chosen: an error ends it with "Downloading error" and is
// given in the outcome. The caller hides the panel and reloads the pages afterwards.
TransferOutcome RunDownload(TransferSetup& setup, const QString& address);
// The totals run: an error is thrown for the caller's general error report.
TransferOutcome RunTotals(TransferSetup& setup, const QStringList& addresses);

} // namespace dm
