#include "comm/upload.h"

#include "comm/scaleslist.h"

#include "app/errors.h"
#include "app/langtext.h"
#include "db/database.h"
#include "scalefiles/scalefileio.h"
#include "scalefiles/scalefilenames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace dm {

namespace {

constexpr int SerialAttempts = 4;
constexpr qsizetype UsableReply = 6; // a reply must reach its command byte

QByteArray readWholeFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw FileError(LangText(u"Text", u"CannotOpenFile", u"Cannot open the file") +
                        QStringLiteral(": ") + QDir::toNativeSeparators(path));
    if (f.size() > qint64(0xFFFF) * frame::MaxBlockData)
        throw FileError(LangText(u"Text", u"TooManyBlocks", u"More than 65535 blocks") +
                        QStringLiteral(": ") + QDir::toNativeSeparators(path));
    QByteArray data = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw FileError(LangText(u"Text", u"CannotReadFile", u"Cannot read the file") +
                        QStringLiteral(": ") + QDir::toNativeSeparators(path));
    return data;
}

[[noreturn]] void connectionLost(const QString& path) {
    throw ScaleTurnError(transfertext::connectionLost(QFileInfo(path).fileName()));
}

// A serial line may lose a frame; the scale then says nothing, and the same frame is
// worth sending again. Over TCP nothing is lost, so one read is all there is. A frame
// that cannot be written, or a short reply from a link that has gone, ends the turn.
QByteArray readBlockReply(ScaleLink& link, const QString& path) {
    QByteArray reply = link.read();
    if (link.address().isSerial()) {
        for (int attempt = 1; attempt < SerialAttempts && reply.size() < UsableReply; ++attempt) {
            if (!link.resendFrame())
                connectionLost(path);
            reply = link.read();
        }
    }
    if (reply.size() < UsableReply && !link.isOpen())
        connectionLost(path);
    return reply;
}

// Makes the keypad named in the scale's row (or the first keypad) current, and its file.
QString makeKeypadFileFor(TransferSetup& setup, const QString& address) {
    // The same choice the scale choice dialog shows for the scale.
    KeypadsDataSet& keypads = setup.db.keypads();
    if (!keypads.locate(QStringLiteral("Name"), KeypadOfScale(setup.db, address)))
        keypads.first();
    return ScaleFiles(setup.db, setup.exportFolder).WriteKeypadFile();
}

void serveScale(TransferSetup& setup, ScaleOutcome& scale) {
    std::unique_ptr<ScaleLink> link = detail::connectToScale(setup, scale);
    if (!link)
        return;
    detail::notice(setup, transfertext::uploadingData(scale.name, scale.address),
                   panelcolour::SkyBlue);
    setup.pauses.pause(1000);

    const QDir folder(setup.exportFolder);
    const auto fileOf = [&](ScaleFileKind kind) {
        const QString found = FindScaleFile(setup.exportFolder, kind);
        return found.isEmpty() ? folder.filePath(CanonicalScaleFileName(kind)) : found;
    };
    // The goods result decides the completion message; the other files go out anyway.
    // A lost connection ends this scale's turn with its error line instead.
    UploadResult goods = UploadResult::Completed;
    try {
        goods = SendFileBlocks(*link, fileOf(ScaleFileKind::Goods), FileKind::Goods, setup.sink);
        SendFileBlocks(*link, fileOf(ScaleFileKind::Ticket), FileKind::Ticket, setup.sink);
        SendFileBlocks(*link, fileOf(ScaleFileKind::Operators), FileKind::Operators, setup.sink);
        CurrentRowKeeper keeper(setup.db.keypads());
        const QString keypadFile = makeKeypadFileFor(setup, scale.address);
        SendFileBlocks(*link, keypadFile, FileKind::Keypad, setup.sink);
    } catch (const ScaleTurnError& e) {
        link->close();
        link.reset();
        setup.pauses.pause(1000);
        detail::turnFailed(setup, scale, transfertext::uploadingError(), e);
        setup.pauses.pause(2000);
        return;
    }

    link->close();
    link.reset();
    setup.pauses.pause(1000);
    if (goods == UploadResult::Completed) {
        setup.sink.showMessage(transfertext::uploadingCompleted(scale.name, scale.address),
                               panelcolour::MoneyGreen);
        scale.completed = true;
    }
    setup.sink.processEvents();
    setup.pauses.pause(2000);
}

} // namespace

UploadResult SendFileBlocks(ScaleLink& link, const QString& path, FileKind kind,
                            TransferSink& sink) {
    const QByteArray data = readWholeFile(path);
    const qsizetype blocks = (data.size() + frame::MaxBlockData - 1) / frame::MaxBlockData;
    const auto total = static_cast<quint16>(blocks);

    sink.showProgress();
    sink.setProgressTotal(total);
    int done = 0;
    for (qsizetype i = 1; i <= blocks; ++i) {
        const qsizetype offset = (i - 1) * frame::MaxBlockData;
        const QByteArrayView part =
            QByteArrayView(data).sliced(offset, qMin(frame::MaxBlockData, data.size() - offset));
        QByteArray reply;
        try {
            if (!link.sendFrame(ScaleCommand::WriteBlock,
                                blockPayload(quint8(kind), total, static_cast<quint16>(i), part)))
                connectionLost(path);
            sink.processEvents();
            reply = readBlockReply(link, path);
        } catch (const ScaleTurnError&) {
            sink.hideProgress();
            throw;
        }
        if (kind == FileKind::Goods) {
            const std::optional<quint8> code = replyCode(reply);
            if (!code) { // fewer than 6 bytes
                sink.hideProgress();
                return UploadResult::NoReply;
            }
            if (*code == quint8(ReplyCode::Stop)) {
                sink.hideProgress();
                return UploadResult::Stopped;
            }
        }
        sink.setProgressDone(++done);
    }
    sink.hideProgress();
    return UploadResult::Completed;
}

void UploadToScales(TransferSetup& setup, const QStringList& addresses, TransferOutcome& outcome) {
    for (const QString& address : addresses) {
        outcome.addScale(address, ScaleNameOf(setup.db, address));
        serveScale(setup, outcome.scales.last());
    }
}

TransferOutcome RunUpload(TransferSetup& setup, const QStringList& addresses) {
    ScaleFiles files(setup.db, setup.exportFolder);
    const auto make = [&](const QString& message, QString (ScaleFiles::*write)()) {
        setup.sink.showMessage(message, panelcolour::SkyBlue);
        (files.*write)();
        setup.pauses.pause(1000);
    };
    make(LangText(u"Text", u"MakingFile1", u"Goods file making..."), &ScaleFiles::WriteGoodsFile);
    make(LangText(u"Text", u"MakingFile2", u"Ticket file making..."), &ScaleFiles::WriteTicketFile);
    make(LangText(u"Text", u"MakingFile4", u"Salesmen file making..."),
         &ScaleFiles::WriteOperatorsFile);

    TransferOutcome outcome;
    try {
        UploadToScales(setup, addresses, outcome);
    } catch (const std::exception& e) {
        outcome.failed = true;
        outcome.error = detail::errorText(e);
        // The reason goes under the fixed line, so the user learns what stopped the run.
        setup.sink.showMessage({transfertext::uploadingError(), outcome.error}, panelcolour::Pink);
        setup.sink.processEvents();
        setup.pauses.pause(1000);
    }
    return outcome;
}

} // namespace dm
