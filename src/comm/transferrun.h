#pragma once

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

// What became of each scale of a run, in the order served.
struct ScaleOutcome {
    QString address;
    QString name;
    bool connected = false;
    bool completed = false; // its completion message was shown
};

struct TransferOutcome {
    QList<ScaleOutcome> scales;
    bool failed = false; // an error ended the run; error holds its text
    QString error;

    // Every scale was served to its completion message and nothing failed.
    bool allCompleted() const;
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
} // namespace transfertext

namespace detail {
// Steps shared by every run for one scale: "Connecting...", the open, and OpenExchange
// with its reply read and ignored. Null after the failure message when the scale cannot
// be reached; an address that no link can stand for throws LinkError.
std::unique_ptr<ScaleLink> connectToScale(TransferSetup& setup, ScaleOutcome& scale);
// The program's own text of an error, or the library's for one that has none.
QString errorText(const std::exception& e);
// Shows a notice and lets the window paint it.
void notice(TransferSetup& setup, const QString& line, QRgb colour);
} // namespace detail

} // namespace dm
