#include "db/databasemanager.h"

#include "app/inifile.h"
#include "app/startup.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace dm {

namespace {

// Copies through a temporary file in the target's folder, so that a failed copy never
// leaves a half-written database under the target's name.
bool copyReplacing(const QString& source, const QString& target, QString* error) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QDir::toNativeSeparators(source) + QStringLiteral(": ") + in.errorString();
        return false;
    }
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QDir::toNativeSeparators(target) + QStringLiteral(": ") + out.errorString();
        return false;
    }
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 20);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
            break;
        if (out.write(chunk) != chunk.size())
            break;
    }
    if (in.error() != QFileDevice::NoError) {
        out.cancelWriting();
        if (error)
            *error = QDir::toNativeSeparators(source) + QStringLiteral(": ") + in.errorString();
        return false;
    }
    if (!out.commit()) {
        if (error)
            *error = QDir::toNativeSeparators(target) + QStringLiteral(": ") + out.errorString();
        return false;
    }
    return true;
}

} // namespace

QString withDatabaseExtension(const QString& name) {
    return name.endsWith(QStringLiteral(".sqlite"), Qt::CaseSensitive)
               ? name
               : name + QStringLiteral(".sqlite");
}

bool replacesUnaskedFile(const QString& chosen) {
    const QString target = withDatabaseExtension(chosen);
    return target != chosen && QFileInfo::exists(target);
}

bool isSameFile(const QString& a, const QString& b) {
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

QString databaseDialogFolder(const ProgramFolder& folder, const QString& current) {
    const QFileInfo fi(current);
    if (!current.isEmpty() && fi.isFile())
        return fi.absolutePath();
    return folder.path(QStringLiteral("Data"));
}

QString newDatabaseName(const QDateTime& now) {
    return QStringLiteral("Base ") + now.toString(QStringLiteral("yyyy-MM-dd hh-mm-ss"));
}

QString copyDatabaseName(const QString& source) {
    return QStringLiteral("Copy ") + QFileInfo(source).fileName();
}

bool rememberCurrentDatabase(QStringList& history, const QString& current,
                             const QString& historyLog, QString* error) {
    if (!current.isEmpty() && !history.contains(current))
        history.append(current);
    return writeHistory(historyLog, history, error);
}

bool createDatabaseFromTemplate(const ProgramFolder& folder, const QString& target,
                                QString* error) {
    if (!copyReplacing(folder.templateDatabase(), target, error))
        return false;
    QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
    return writeIniValue(folder.terminalIni(), QStringLiteral("Global"), QStringLiteral("Base"),
                         target, error);
}

bool copyDatabaseFile(const QString& source, const QString& target, QStringList& history,
                      const QString& historyLog, QString* error) {
    if (!copyReplacing(source, target, error))
        return false;
    history.append(target);
    return writeHistory(historyLog, history, error);
}

} // namespace dm
