#pragma once

#include <QString>

namespace dm {

// Every path of the program is formed from the program folder (the folder of the
// executable unless a tool or test names another); nothing comes from the current
// directory.
class ProgramFolder {
public:
    explicit ProgramFolder(const QString& root);
    static ProgramFolder ofExecutable(); // QCoreApplication::applicationDirPath()

    QString root() const { return m_root; } // without trailing separator
    QString path(const QString& relative) const;

    QString systemDir() const { return path(QStringLiteral("System")); }
    QString terminalIni() const { return path(QStringLiteral("System/terminal.ini")); }
    QString historyLog() const { return path(QStringLiteral("System/History.log")); }
    QString templateDatabase() const { return path(QStringLiteral("System/Default.sqlite")); }
    QString defaultDatabase() const { return path(QStringLiteral("Data/Base.sqlite")); }
    QString languagesDir() const { return path(QStringLiteral("Languages")); }
    QString exportFolder() const { return path(QStringLiteral("Export")); }

private:
    QString m_root;
};

} // namespace dm
