#include "scalefiles/scalefilenames.h"

#include "app/errors.h"
#include "app/langtext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace dm {

namespace {

QFileInfoList spellings(const QString& folder, const QString& name) {
    QFileInfoList found;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden);
    for (const QFileInfo& fi : entries)
        if (fi.fileName().compare(name, Qt::CaseInsensitive) == 0)
            found.append(fi);
    return found;
}

} // namespace

QString CanonicalScaleFileName(ScaleFileKind kind) {
    switch (kind) {
    case ScaleFileKind::Goods:
        return QStringLiteral("products.dat");
    case ScaleFileKind::Ticket:
        return QStringLiteral("RVT.dat");
    case ScaleFileKind::Operators:
        return QStringLiteral("Salesmen.dat");
    case ScaleFileKind::Keypad:
        return QStringLiteral("keyboard.dat");
    case ScaleFileKind::Totals:
        return QStringLiteral("Totals.dat");
    }
    return QString();
}

QString ScaleFileForWriting(const QString& folder, ScaleFileKind kind) {
    if (!QDir().mkpath(folder))
        throw FileError(LangText(u"Text", u"CannotCreateFolder", u"Cannot create the folder") +
                        QStringLiteral(": ") + QDir::toNativeSeparators(folder));
    const QString name = CanonicalScaleFileName(kind);
    for (const QFileInfo& fi : spellings(folder, name)) {
        if (fi.fileName() != name && !QFile::remove(fi.absoluteFilePath()))
            throw FileError(LangText(u"Text", u"CannotWriteFile", u"Cannot write the file") +
                            QStringLiteral(": ") + QDir::toNativeSeparators(fi.absoluteFilePath()));
    }
    return QDir(folder).filePath(name);
}

QString FindScaleFile(const QString& folder, ScaleFileKind kind) {
    const QString name = CanonicalScaleFileName(kind);
    const QFileInfoList found = spellings(folder, name);
    const QFileInfo* best = nullptr;
    for (const QFileInfo& fi : found) {
        if (!best || fi.lastModified() > best->lastModified() ||
            (fi.lastModified() == best->lastModified() && fi.fileName() == name))
            best = &fi;
    }
    return best ? best->absoluteFilePath() : QString();
}

} // namespace dm
