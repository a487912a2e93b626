#include "scalefiles/memorycard.h"

#include "app/errors.h"
#include "app/langtext.h"
#include "app/messagepanelsize.h"
#include "comm/transfersink.h"
#include "db/database.h"
#include "db/datasets.h"
#include "platform/filecopy.h"
#include "scalefiles/scalefileio.h"
#include "scalefiles/scalefilenames.h"

#include <QDir>
#include <QFile>

namespace dm {

namespace {

constexpr CardFile kExchanged[] = {CardFile::Goods, CardFile::Ticket, CardFile::Operators,
                                   CardFile::Keypad};

ScaleFileKind localKind(CardFile file) {
    switch (file) {
    case CardFile::Goods:
        return ScaleFileKind::Goods;
    case CardFile::Ticket:
        return ScaleFileKind::Ticket;
    case CardFile::Operators:
        return ScaleFileKind::Operators;
    case CardFile::Keypad:
        return ScaleFileKind::Keypad;
    case CardFile::Totals:
        break;
    }
    return ScaleFileKind::Totals;
}

// The file of that name in folder, whatever its case; empty when there is none.
QString findIgnoringCase(const QString& folder, const QString& name) {
    const QDir dir(folder);
    const QString exact = dir.filePath(name);
    if (QFileInfo(exact).isFile())
        return exact;
    const auto entries = dir.entryInfoList(QDir::Files | QDir::Hidden);
    for (const QFileInfo& e : entries)
        if (e.fileName().compare(name, Qt::CaseInsensitive) == 0)
            return e.filePath();
    return {};
}

// The local file to copy a card file into: its canonical name (the totals one shared
// with the download), other spellings removed.
QString localTarget(const QString& exportFolder, CardFile file) {
    return ScaleFileForWriting(exportFolder, localKind(file));
}

} // namespace

QString CardFileName(CardFile file) {
    switch (file) {
    case CardFile::Goods:
        return QStringLiteral("products.dat");
    case CardFile::Ticket:
        return QStringLiteral("RVT.dat");
    case CardFile::Operators:
        return QStringLiteral("salesmen.dat");
    case CardFile::Keypad:
        return QStringLiteral("keyboard.dat");
    case CardFile::Totals:
        break;
    }
    return QStringLiteral("summary.dat");
}

int CopyFilesToCard(const QString& exportFolder, const QString& cardRoot) {
    int number = 0;
    for (CardFile file : kExchanged) {
        ++number;
        const QString source = FindScaleFile(exportFolder, localKind(file));
        // A card that already holds the file under another spelling gets it replaced.
        QString target = findIgnoringCase(cardRoot, CardFileName(file));
        if (target.isEmpty())
            target = QDir(cardRoot).filePath(CardFileName(file));
        if (!platform::copyFileReplacing(source, target))
            return number;
    }
    return 0;
}

MemoryCard::MemoryCard(Database& db, QString exportFolder, TransferSink& sink,
                       TransferPauses& pauses, Notifier& notifier)
    : m_db(db), m_export(std::move(exportFolder)), m_sink(sink), m_pauses(pauses),
      m_notifier(notifier) {}

void MemoryCard::selectKeypad(const QString& keypadName) {
    if (!keypadName.isEmpty() && !m_db.keypads().locate(QStringLiteral("Name"), keypadName))
        throw DataError(LangText(u"Text", u"KeypadNotFound", u"Keypad not found") +
                        QStringLiteral(": ") + keypadName);
}

bool MemoryCard::SaveFilesToCard(const QString& cardRoot, const QString& keypadName) {
    selectKeypad(keypadName);
    ScaleFiles files(m_db, m_export);

    m_sink.showMessage(LangText(u"Text", u"MakingFile1", u"Goods file making..."),
                       panelcolour::SkyBlue);
    files.WriteGoodsFile();
    m_pauses.pause(1000);

    m_sink.showMessage(LangText(u"Text", u"MakingFile2", u"Ticket file making..."),
                       panelcolour::SkyBlue);
    files.WriteTicketFile();
    files.WriteOperatorsFile();
    m_pauses.pause(1000);

    m_sink.showMessage(LangText(u"Text", u"MakingFile3", u"Keypad file making..."),
                       panelcolour::SkyBlue);
    files.WriteKeypadFile();
    m_pauses.pause(1000);

    m_sink.showMessage(LangText(u"Text", u"Saving", u"Saving in progress..."),
                       panelcolour::SkyBlue);
    const bool ok = CopyFilesToCard(m_export, cardRoot) == 0;
    if (ok)
        m_sink.showMessage(LangText(u"Text", u"SaveCompleted", u"Saving completed successfully"),
                           panelcolour::MoneyGreen);
    else
        m_sink.showMessage(LangText(u"Text", u"SaveFail", u"Saving failed"), panelcolour::Pink);

    m_sink.processEvents();
    m_pauses.pause(1500);
    m_sink.hideMessage();
    return ok;
}

QStringList MemoryCard::LoadFilesFromCard(const QString& cardRoot, const QString& keypadName) {
    selectKeypad(keypadName);
    QDir().mkpath(m_export);
    ScaleFiles files(m_db, m_export);

    m_sink.showMessage(LangText(u"Text", u"LoadingProducts", u"Reading in progress..."),
                       panelcolour::SkyBlue);
    QStringList failed;
    for (CardFile file : kExchanged) {
        const QString source = findIgnoringCase(cardRoot, CardFileName(file));
        if (platform::copyFileReplacing(source, localTarget(m_export, file))) {
            switch (file) {
            case CardFile::Goods:
                // The card's goods replace all goods, as a download from a scale does: with
                // a search active, replacing only the goods it shows would keep the hidden
                // ones and refuse every card item that shares a PLU with one of them.
                files.ReadGoodsFile(m_notifier, GoodsReplace::AllGoods);
                break;
            case CardFile::Ticket:
                files.ReadTicketFile();
                break;
            case CardFile::Operators:
                files.ReadOperatorsFile();
                break;
            case CardFile::Keypad:
                files.ReadKeypadFile(MemoryCardSource(), keypadName);
                break;
            case CardFile::Totals:
                break;
            }
        } else {
            failed << CardFileName(file);
            m_sink.showMessage(LangText(u"Text", u"LoadFail", u"Reading failed"),
                               panelcolour::Pink);
        }
        m_sink.processEvents();
        m_pauses.pause(1000);
    }
    m_sink.hideMessage();
    return failed;
}

bool MemoryCard::LoadTotalsFromCard(const QString& cardRoot) {
    m_sink.showMessage(LangText(u"Text", u"LoadingTotals", u"Reading in progress..."),
                       panelcolour::SkyBlue);
    const QString target = localTarget(m_export, CardFile::Totals);
    const bool copied = platform::copyFileReplacing(
        findIgnoringCase(cardRoot, CardFileName(CardFile::Totals)), target);
    if (copied) {
        ScaleFiles(m_db, m_export).ImportTotalsFile(MemoryCardSource(), target);
        m_sink.showMessage(LangText(u"Text", u"LoadCompleted", u"Reading completed successfully"),
                           panelcolour::MoneyGreen);
    } else {
        m_sink.showMessage(LangText(u"Text", u"LoadFail", u"Reading failed"), panelcolour::Pink);
    }
    m_sink.processEvents();
    m_pauses.pause(1500);
    m_sink.hideMessage();
    return copied;
}

} // namespace dm
