#pragma once

#include "app/errors.h"
#include "comm/scalelink.h"
#include "comm/transfersink.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <exception>
#include <functional>
#include <memory>

namespace dm {

class Database;
class Notifier;

// Everything a transfer run works with. A run keeps no state outside its own call: the
// links it opens, the files it makes in the export folder and the rows it writes.
struct TransferSetup {
    TransferSetup(Database& database, QString folder, TransferSink& messages,
                  TransferPauses& pauseObject, Notifier& goodsNotifier)
        : db(database), exportFolder(std::move(folder)), sink(messages), pauses(pauseObject),
          notifier(goodsNotifier) {}

    Database& db;
    QString exportFolder; // where the scale files are made and received
    TransferSink& sink;
    TransferPauses& pauses;
    Notifier& notifier; // the goods checks of a goods import report here
    LinkTimings timings;
    // A serial receive asks again while reads come back empty, until this long has
    // passed since the request (one silent read of the real timings already takes longer).
    int serialReceiveGiveUpMs = 4000;
    // How a scale's address becomes a link; TCP port 5001 or the serial port.
    std::function<std::unique_ptr<ScaleLink>(const QString& address, const LinkTimings&)> makeLink =
        [](const QString& address, const LinkTimings& t) { return makeScaleLink(address, t); };
};

// What ends one scale's turn but not the run: the connection was lost in the middle, or
// a file came only in part. The turn shows its error line with this text, and the run
// goes on with the next scale as for one that cannot be reached.
class ScaleTurnError : public LinkError {
public:
    using LinkError::LinkError;
};

// What became of each scale of a run, in the order served.
struct ScaleOutcome {
    QString address;
    QString name;
    bool connected = false;
    bool completed = false; // its completion message was shown
    QString error;          // why its turn ended with an error line, if it did
};

struct TransferOutcome {
    QList<ScaleOutcome> scales;
    bool failed = false; // an error ended the run; error holds its text
    QString error;

    // Every scale was served to its completion message and nothing failed.
    bool allCompleted() const;
    // The outcome of the next scale served, not connected yet.
    ScaleOutcome& addScale(const QString& address, const QString& name);
};

// The lines shown when no scale has been found. The download and totals commands keep
// their own default for the line about a switched-off scale.
enum class TroubleshootingFor { Upload, Download };
QStringList TroubleshootingLines(TroubleshootingFor command);

// The name of the scale at an address: Name of the first ScalesSettings row with that
// IP, empty when there is none or it has no name.
QString ScaleNameOf(Database& db, const QString& address);

namespace transfertext {
QString connecting();
QString connectionFailed(const QString& name, const QString& address);
QString uploadingData(const QString& name, const QString& address);
QString uploadingCompleted(const QString& name, const QString& address);
QString uploadingError();
QString downloadingData(const QString& name, const QString& address);
QString downloadingCompleted(const QString& name, const QString& address);
QString downloadingError();
QString goodsAbsent();
QString totalsAbsent();
// Reasons that end a scale's turn.
QString connectionLost(const QString& fileName);
QString fileIncomplete(const QString& fileName, int received, int total);
} // namespace transfertext

namespace detail {
// Steps shared by every run for one scale: "Connecting...", the open, and OpenExchange
// with its reply read and ignored. Null after the failure message when the scale cannot
// be reached; an address that no link can stand for throws LinkError. The link lets the
// sink process events while it waits.
std::unique_ptr<ScaleLink> connectToScale(TransferSetup& setup, ScaleOutcome& scale);
// The program's own text of an error, or the library's for one that has none.
QString errorText(const std::exception& e);
// Shows a notice and lets the window paint it.
void notice(TransferSetup& setup, const QString& line, QRgb colour);
// Ends a scale's turn with an error: the fixed line with the reason under it, on pink,
// where its completion message would have been.
void turnFailed(TransferSetup& setup, ScaleOutcome& scale, const QString& line,
                const ScaleTurnError& error);
} // namespace detail

} // namespace dm
