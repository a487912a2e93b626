#include "db/databasemanager.h"

#include "platform/filecopy.h"

#include "app/inifile.h"
#include "app/startup.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace dm {

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
    if (!platform::copyFileReplacing(folder.templateDatabase(), target, error))
        return false;
    QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
    return writeIniValue(folder.terminalIni(), QStringLiteral("Global"), QStringLiteral("Base"),
                         target, error);
}

bool copyDatabaseFile(const QString& source, const QString& target, QStringList& history,
                      const QString& historyLog, QString* error) {
    if (!platform::copyFileReplacing(source, target, error))
        return false;
    history.append(target);
    return writeHistory(historyLog, history, error);
}

} // namespace dm
