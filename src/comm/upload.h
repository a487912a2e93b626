#pragma once

#include "comm/transferrun.h"

#include <QString>
#include <QStringList>

namespace dm {

// How sending the goods file ended. The other files have no result.
enum class UploadResult {
    Completed = 0, // every block went out (also for an empty file)
    Stopped = 1,   // the scale answered a block with Stop ("C")
    NoReply = 2,   // fewer than 6 bytes came back (serial: after four tries)
};

// Sends one file in WriteBlock frames of up to 1024 data bytes, with the sink's progress
// bar. Over a serial port a short reply makes the same frame go out again, up to four
// times in all. Only the goods file's replies are looked at; for the others the result
// is always Completed. Throws FileError when the file cannot be read or needs more than
// 65 535 blocks, and ScaleTurnError when a frame cannot be written or the link has gone
// (a short reply from a closed connection is no answer, it is the end of the turn).
UploadResult SendFileBlocks(ScaleLink& link, const QString& path, FileKind kind,
                            TransferSink& sink);

// Sends the goods, ticket and operators files of the export folder to each address in
// turn, then that scale's own keypad file (made from its ScalesSettings keypad, or the
// first keypad), with every message and pause. A scale that cannot be reached gets its
// message and the next one is served; so does one whose connection is lost during its
// turn, with "Uploading error" and the reason instead of its completion. Any other error
// ends the run and is thrown. The keypad list is back on its row after each scale.
void UploadToScales(TransferSetup& setup, const QStringList& addresses, TransferOutcome& outcome);

// The upload once the targets are chosen: makes the goods, ticket and operators files
// (an error there is thrown), then UploadToScales; an error during the run ends it with
// "Uploading error" and is given in the outcome. The caller hides the panel afterwards.
TransferOutcome RunUpload(TransferSetup& setup, const QStringList& addresses);

} // namespace dm
