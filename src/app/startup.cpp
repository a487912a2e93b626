#include "app/startup.h"

#include "app/inifile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>

namespace dm {

namespace {
const QString kGlobal = QStringLiteral("Global");
const QString kBase = QStringLiteral("Base");
const QString kLanguage = QStringLiteral("Language");
} // namespace

DatabaseChoice chooseDatabaseFile(const ProgramFolder& folder, IniFile& terminalIni) {
    DatabaseChoice choice;
    QString base = terminalIni.value(kGlobal, kBase);
    // A relative Base is taken from the program folder, never from the working folder,
    // which depends on how the program was started.
    if (!base.isEmpty() && QDir::isRelativePath(base))
        base = QDir::cleanPath(QDir(folder.root()).absoluteFilePath(base));
    if (!base.isEmpty() && QFileInfo::exists(base) && QFileInfo(base).isFile()) {
        choice.path = base;
    } else {
        choice.fellBack = true;
        choice.path = folder.defaultDatabase();
        if (!QFileInfo::exists(choice.path)) {
            QDir().mkpath(QFileInfo(choice.path).absolutePath());
            QFile::remove(choice.path);
            QFile source(folder.templateDatabase());
            if (source.copy(choice.path)) {
                choice.createdFromTemplate = true;
                // The template is read-only in the program folder; the copy must not be.
                QFile::setPermissions(choice.path, QFile::permissions(choice.path) |
                                                       QFileDevice::WriteOwner |
                                                       QFileDevice::ReadOwner);
            } else {
                choice.copyError = source.errorString();
            }
        }
    }
    terminalIni.setValue(kGlobal, kBase, choice.path);
    return choice;
}

QStringList listLanguageFolders(const ProgramFolder& folder) {
    QDir dir(folder.languagesDir());
    // Unsorted: the order the file system gives, as the language list shows it.
    return dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted);
}

QString systemLanguageName() {
    return QLocale::system().language() == QLocale::Russian ? QStringLiteral("RUS")
                                                            : QStringLiteral("ENG");
}

QString configuredLanguageName(const IniFile& terminalIni) {
    const QString name = terminalIni.value(kGlobal, kLanguage);
    return name.isEmpty() ? systemLanguageName() : name;
}

QString resolveLanguageName(const QString& wanted, const QStringList& available) {
    if (available.contains(wanted))
        return wanted;
    if (available.contains(QStringLiteral("ENG")))
        return QStringLiteral("ENG");
    return available.isEmpty() ? QString() : available.first();
}

QStringList readHistory(const QString& path, bool* exists) {
    QFile f(path);
    if (exists)
        *exists = f.exists();
    QStringList lines;
    if (!f.open(QIODevice::ReadOnly))
        return lines;
    const QString text = QString::fromUtf8(f.readAll());
    for (QString line : text.split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (!line.isEmpty())
            lines.append(line);
    }
    return lines;
}

bool writeHistory(const QString& path, const QStringList& lines, QString* error) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        if (error)
            *error = f.errorString();
        return false;
    }
    for (const QString& line : lines)
        f.write((line + QStringLiteral("\r\n")).toUtf8());
    if (!f.commit()) {
        if (error)
            *error = f.errorString();
        return false;
    }
    return true;
}

} // namespace dm
