#pragma once

#include "app/programfolder.h"

#include <QString>
#include <QStringList>

namespace dm {

class IniFile;

// Chooses the database file: Global/Base when it names an existing file (a relative Base
// lies under the program folder), otherwise Data/Base.sqlite, copied from the template
// when missing. Writes the choice back to Global/Base of the given INI (the caller saves
// it).
struct DatabaseChoice {
    QString path;
    bool fellBack = false; // Base was empty or named a missing file
    bool createdFromTemplate = false;
    QString copyError; // set when the template could not be copied
};
DatabaseChoice chooseDatabaseFile(const ProgramFolder& folder, IniFile& terminalIni);

// The language folders under Languages/, in the order the file system lists them.
QStringList listLanguageFolders(const ProgramFolder& folder);

// The language name to use: Global/Language, or by the system language when empty.
QString configuredLanguageName(const IniFile& terminalIni);
QString systemLanguageName(); // "RUS" on a Russian system, "ENG" otherwise

// The item to select when the configured name has no folder: ENG, then the first folder
// found; empty when there is no language folder at all (the built-in texts then serve).
QString resolveLanguageName(const QString& wanted, const QStringList& available);

// History.log: one path per line, CR LF, UTF-8.
QStringList readHistory(const QString& path, bool* exists = nullptr);
bool writeHistory(const QString& path, const QStringList& lines, QString* error = nullptr);

} // namespace dm
