#include "comm/download.h"

#include "app/errors.h"
#include "app/langtext.h"
#include "db/database.h"
#include "scalefiles/scalefileio.h"
#include "scalefiles/scalefilenames.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSaveFile>

#include <functional>

namespace dm {

namespace {

ScaleFileKind fileKindOf(FileKind kind) {
    switch (kind) {
    case FileKind::Goods:
        return ScaleFileKind::Goods;
    case FileKind::Keypad:
        return ScaleFileKind::Keypad;
    case FileKind::Totals:
        return ScaleFileKind::Totals;
    case FileKind::Ticket:
        return ScaleFileKind::Ticket;
    case FileKind::Operators:
        break;
    }
    return ScaleFileKind::Operators;
}

// TCP: one read. Serial: read again while nothing comes, until the give-up time since
// the request has passed.
QByteArray readReply(const TransferSetup& setup, ScaleLink& link, const QElapsedTimer& since) {
    QByteArray reply = link.read();
    if (link.address().isSerial())
        while (reply.isEmpty() && since.elapsed() <= setup.serialReceiveGiveUpMs)
            reply = link.read();
    return reply;
}

[[noreturn]] void refuseReply(const QString& fileName) {
    throw LinkError(LangText(u"Text", u"ReplyTooShort", u"The reply is shorter than its data") +
                    QStringLiteral(": ") + fileName);
}

// The totals and goods messages come with their pause; the other kinds are silent.
void reportAbsent(TransferSetup& setup, FileKind kind) {
    if (kind != FileKind::Goods && kind != FileKind::Totals)
        return;
    setup.sink.showMessage(kind == FileKind::Goods ? transfertext::goodsAbsent()
                                                   : transfertext::totalsAbsent(),
                           panelcolour::Pink);
    setup.pauses.pause(2000);
}

class ScaleTurn {
public:
    ScaleTurn(TransferSetup& setup, ScaleOutcome& scale) : m_setup(setup), m_scale(scale) {}

    // Connects and announces the download; false when the scale cannot be reached.
    bool begin() {
        m_link = detail::connectToScale(m_setup, m_scale);
        if (!m_link)
            return false;
        detail::notice(m_setup, transfertext::downloadingData(m_scale.name, m_scale.address),
                       panelcolour::SkyBlue);
        m_setup.pauses.pause(1000);
        return true;
    }
    qint64 receive(FileKind kind) { return ReceiveFile(m_setup, *m_link, kind); }
    // Receives and imports the scale's files; true when the deciding file came. A lost
    // connection or a file that came in part ends the turn with "Downloading error".
    void run(const std::function<bool()>& files) {
        bool completed = false;
        try {
            completed = files();
        } catch (const ScaleTurnError& e) {
            m_link->close();
            m_link.reset();
            detail::turnFailed(m_setup, m_scale, transfertext::downloadingError(), e);
            m_setup.pauses.pause(1000);
            return;
        }
        end(completed);
    }

private:
    // Closes the link; the completion message when the deciding file came.
    void end(bool completed) {
        m_link->close();
        m_link.reset();
        if (!completed)
            return;
        detail::notice(m_setup, transfertext::downloadingCompleted(m_scale.name, m_scale.address),
                       panelcolour::MoneyGreen);
        m_scale.completed = true;
        m_setup.pauses.pause(1000);
    }

    TransferSetup& m_setup;
    ScaleOutcome& m_scale;
    std::unique_ptr<ScaleLink> m_link;
};

} // namespace

qint64 ReceiveFile(TransferSetup& setup, ScaleLink& link, FileKind kind) {
    const ScaleFileKind fileKind = fileKindOf(kind);
    const QString path = ScaleFileForWriting(setup.exportFolder, fileKind);
    const QString fileName = CanonicalScaleFileName(fileKind);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw FileError(LangText(u"Text", u"CannotWriteFile", u"Cannot write the file") +
                        QStringLiteral(": ") + QDir::toNativeSeparators(path));

    TransferSink& sink = setup.sink;
    sink.showProgress();
    qint64 written = 0;
    int done = 0;
    quint16 total = 0; // as the latest reply gives it
    try {
        for (quint32 block = 1;; ++block) {
            if (block > 0xFFFF)
                throw LinkError(LangText(u"Text", u"TooManyBlocks", u"More than 65535 blocks") +
                                QStringLiteral(": ") + fileName);
            QElapsedTimer since;
            since.start();
            if (!link.sendFrame(ScaleCommand::ReadBlock,
                                readRequestPayload(quint8(kind), static_cast<quint16>(block))))
                throw ScaleTurnError(transfertext::connectionLost(fileName));
            const QByteArray reply = readReply(setup, link, since);
            const std::optional<quint8> code = replyCode(reply);
            if (!code) { // fewer than 6 bytes
                if (!link.isOpen())
                    throw ScaleTurnError(transfertext::connectionLost(fileName));
                // Nothing came at all: the file stays empty. Part of a file is never taken
                // for the whole; the file keeps what it held before.
                if (done < total)
                    throw ScaleTurnError(transfertext::fileIncomplete(fileName, done, total));
                break;
            }
            if (*code == quint8(ReplyCode::FileAbsent)) {
                sink.hideProgress();
                reportAbsent(setup, kind);
                break;
            }
            const std::optional<BlockReply> part = parseBlockReply(reply);
            if (!part)
                refuseReply(fileName);
            total = part->total;
            // A file of no blocks is empty, whatever the reply carries.
            if (total == 0)
                break;
            sink.setProgressTotal(total);
            if (file.write(part->data.data(), part->data.size()) != part->data.size())
                throw FileError(LangText(u"Text", u"CannotWriteFile", u"Cannot write the file") +
                                QStringLiteral(": ") + QDir::toNativeSeparators(path));
            written += part->count;
            sink.setProgressDone(++done);
            sink.processEvents();
            // A total at or below this block ends the file (the latest total counts).
            if (block >= total)
                break;
        }
    } catch (...) {
        sink.hideProgress();
        throw;
    }
    if (!file.commit())
        throw FileError(LangText(u"Text", u"CannotWriteFile", u"Cannot write the file") +
                        QStringLiteral(": ") + QDir::toNativeSeparators(path) +
                        QStringLiteral(" (") + file.errorString() + u')');
    sink.hideProgress();
    return written;
}

void DownloadFromScale(TransferSetup& setup, const QString& address, TransferOutcome& outcome) {
    outcome.addScale(address, ScaleNameOf(setup.db, address));
    ScaleTurn turn(setup, outcome.scales.last());
    if (!turn.begin())
        return;
    turn.run([&] {
        ScaleFiles files(setup.db, setup.exportFolder);
        if (turn.receive(FileKind::Goods) > 0)
            files.ReadGoodsFile(setup.notifier, GoodsReplace::AllGoods);
        if (turn.receive(FileKind::Ticket) > 0)
            files.ReadTicketFile();
        if (turn.receive(FileKind::Operators) > 0)
            files.ReadOperatorsFile();
        // The keypad file alone decides whether the scale counts as done.
        const qint64 keypad = turn.receive(FileKind::Keypad);
        if (keypad > 0)
            files.ReadKeypadFile(address);
        return keypad > 0;
    });
}

void DownloadTotals(TransferSetup& setup, const QStringList& addresses, TransferOutcome& outcome) {
    for (const QString& address : addresses) {
        outcome.addScale(address, ScaleNameOf(setup.db, address));
        ScaleTurn turn(setup, outcome.scales.last());
        if (!turn.begin())
            continue;
        turn.run([&] {
            const qint64 totals = turn.receive(FileKind::Totals);
            if (totals > 0)
                ScaleFiles(setup.db, setup.exportFolder)
                    .ImportTotalsFile(address,
                                      FindScaleFile(setup.exportFolder, ScaleFileKind::Totals));
            return totals > 0;
        });
    }
}

TransferOutcome RunDownload(TransferSetup& setup, const QString& address) {
    TransferOutcome outcome;
    try {
        DownloadFromScale(setup, address, outcome);
    } catch (const std::exception& e) {
        outcome.failed = true;
        outcome.error = detail::errorText(e);
        // The reason goes under the fixed line, so the user learns what stopped the run.
        setup.sink.showMessage({transfertext::downloadingError(), outcome.error},
                               panelcolour::Pink);
        setup.sink.processEvents();
        setup.pauses.pause(1000);
    }
    return outcome;
}

TransferOutcome RunTotals(TransferSetup& setup, const QStringList& addresses) {
    TransferOutcome outcome;
    DownloadTotals(setup, addresses, outcome);
    return outcome;
}

} // namespace dm
