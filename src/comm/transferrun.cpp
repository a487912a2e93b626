#include "comm/transferrun.h"

#include "app/errors.h"
#include "app/langtext.h"
#include "db/database.h"

#include <algorithm>

namespace dm {

bool TransferOutcome::allCompleted() const {
    return !failed && !scales.isEmpty() &&
           std::all_of(scales.begin(), scales.end(),
                       [](const ScaleOutcome& s) { return s.completed; });
}

ScaleOutcome& TransferOutcome::addScale(const QString& address, const QString& name) {
    ScaleOutcome s;
    s.address = address;
    s.name = name;
    scales.append(s);
    return scales.last();
}

QStringList TroubleshootingLines(TroubleshootingFor command) {
    const auto t = [](const char16_t* key, const char16_t* def) {
        return LangText(u"Text", key, def);
    };
    // The two commands carry different defaults for the same key.
    const QString switchedOff =
        command == TroubleshootingFor::Upload
            ? LangText(u"Text", u"TroubleShooting2", u"1. The scales is switched off")
            : LangText(u"Text", u"TroubleShooting2", u"1. The scales is swithed off");
    return {
        LangText(u"Misc", u"ScalesNotFound", u"Scales not found..."),
        QString(),
        t(u"TroubleShooting1", u"Possible reasons:"),
        switchedOff,
        t(u"TroubleShooting3", u"2. Bad connection cable"),
        t(u"TroubleShooting4", u"3. For connection via COM-port:"),
        t(u"TroubleShooting5", u"- COM-port mode is not in \"Computer\" in the scales settings"),
        t(u"TroubleShooting6", u"- COM-port is switched off"),
        t(u"TroubleShooting7", u"4. For connection via Ethernet:"),
        t(u"TroubleShooting8",
          u"- scales ethernet settings is not compatible with PC network settings"),
        t(u"TroubleShooting9", u"- data exchange is blocked by the firewall"),
    };
}

QString ScaleNameOf(Database& db, const QString& address) {
    return db.scales().lookup(QStringLiteral("IP"), address, QStringLiteral("Name")).toString();
}

namespace transfertext {

QString connecting() {
    return LangText(u"Text", u"Connecting", u"Connecting...");
}

QString connectionFailed(const QString& name, const QString& address) {
    return LangText(u"Text", u"ConnectionFailed", u"Connection failed to scales") + u' ' + name +
           u'(' + address + u')';
}

QString uploadingData(const QString& name, const QString& address) {
    return LangText(u"Text", u"TransmitData", u"Uploading data") + QStringLiteral(" (") + name +
           QStringLiteral(" <") + address + QStringLiteral(">)");
}

QString uploadingCompleted(const QString& name, const QString& address) {
    return LangText(u"Text", u"TransmitCompleted", u"Uploading completed") + QStringLiteral(" (") +
           name + QStringLiteral(" <") + address + QStringLiteral(">)");
}

QString uploadingError() {
    return LangText(u"Text", u"TransmitError", u"Uploading error");
}

QString downloadingData(const QString& name, const QString& address) {
    return LangText(u"Text", u"ReceiveData", u"Downloading data") + QStringLiteral(" (") + name +
           QStringLiteral(", IP:") + address + u')';
}

// Only the inner parenthesis is closed: "Downloading completed (Kitchen(COM3)".
QString downloadingCompleted(const QString& name, const QString& address) {
    return LangText(u"Text", u"ReceiveCompleted", u"Downloading completed") + QStringLiteral(" (") +
           name + u'(' + address + u')';
}

QString downloadingError() {
    return LangText(u"Text", u"ReceiveError", u"Downloading error");
}

QString goodsAbsent() {
    return LangText(u"Text", u"NoBase", u"Base file is absent");
}

QString totalsAbsent() {
    return LangText(u"Text", u"NoTotals", u"Totals is absent");
}

QString connectionLost(const QString& fileName) {
    return LangText(u"Text", u"ConnectionLost", u"The connection to the scales was lost") +
           QStringLiteral(": ") + fileName;
}

QString fileIncomplete(const QString& fileName, int received, int total) {
    return LangText(u"Text", u"FileIncomplete", u"The scales sent only part of the file") +
           QStringLiteral(": ") + fileName + QStringLiteral(" (%1/%2)").arg(received).arg(total);
}

} // namespace transfertext

namespace detail {

QString errorText(const std::exception& e) {
    if (const auto* own = dynamic_cast<const UserError*>(&e))
        return own->text();
    return QString::fromLocal8Bit(e.what());
}

void notice(TransferSetup& setup, const QString& line, QRgb colour) {
    setup.sink.showMessage(line, colour);
    setup.sink.processEvents();
}

void turnFailed(TransferSetup& setup, ScaleOutcome& scale, const QString& line,
                const ScaleTurnError& error) {
    scale.error = error.text();
    setup.sink.showMessage({line, scale.error}, panelcolour::Pink);
    setup.sink.processEvents();
}

std::unique_ptr<ScaleLink> connectToScale(TransferSetup& setup, ScaleOutcome& scale) {
    notice(setup, transfertext::connecting(), panelcolour::SkyBlue);
    setup.pauses.pause(1000);

    std::unique_ptr<ScaleLink> link = setup.makeLink(scale.address, setup.timings);
    // The window paints while the link waits; its commands hold the user's input back,
    // so nothing starts a second request on this link meanwhile.
    link->setIdle([&sink = setup.sink] { sink.processEvents(); });
    if (!link->open()) {
        notice(setup, transfertext::connectionFailed(scale.name, scale.address), panelcolour::Pink);
        setup.pauses.pause(1000);
        link->close();
        return nullptr;
    }
    scale.connected = true;
    // The scale answers the opening of an exchange; what it says does not matter.
    link->sendFrame(ScaleCommand::OpenExchange);
    link->read();
    return link;
}

} // namespace detail

} // namespace dm
