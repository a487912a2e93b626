#include "export/documentexport.h"

#include "app/errors.h"
#include "app/langtext.h"

#include <QDesktopServices>
#include <QDir>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QUrl>

namespace dm {

namespace {

DocumentOpener& currentOpener() {
    static DocumentOpener opener = openWithDesktop;
    return opener;
}

QString freshFolder() {
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/DataManager-XXXXXX"));
    if (!dir.isValid())
        throw FileError(LangText(u"Text", u"CannotCreateFolder", u"Cannot create the folder") +
                        QStringLiteral(": ") + QDir::toNativeSeparators(QDir::tempPath()));
    dir.setAutoRemove(false);
    return dir.path();
}

QString exportDocument(const QByteArray& bytes, const QString& fileName) {
    const QString path = QDir(freshFolder()).filePath(fileName);
    saveDocument(path, bytes);
    const DocumentOpener& open = currentOpener();
    if (!open || !open(path))
        throw FileError(LangText(u"Text", u"CannotOpenFile", u"Cannot open the file") +
                        QStringLiteral(": ") + QDir::toNativeSeparators(path));
    return path;
}

} // namespace

bool openWithDesktop(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

DocumentOpener setDocumentOpener(DocumentOpener opener) {
    DocumentOpener previous = std::move(currentOpener());
    currentOpener() = std::move(opener);
    return previous;
}

void saveDocument(const QString& path, const QByteArray& bytes) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        throw FileError(LangText(u"Text", u"CannotWriteFile", u"Cannot write the file") +
                        QStringLiteral(": ") + QDir::toNativeSeparators(path) +
                        QStringLiteral(" (") + f.errorString() + u')');
}

QString exportGoodsDocument(const GoodsExportTable& table) {
    return exportDocument(buildGoodsDocx(table), QStringLiteral("Goods.docx"));
}

QString exportTotalsWorkbook(const TotalsExportTable& table) {
    return exportDocument(buildTotalsXlsx(table), QStringLiteral("Totals.xlsx"));
}

} // namespace dm
