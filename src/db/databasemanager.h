#pragma once

#include "app/programfolder.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace dm {

// The database manager's rules on files and the history list, apart from any window.
// Every switch of database goes through Global/Base of terminal.ini; the caller then
// runs the reload, which opens the file.

// A chosen name keeps its extension only when it is exactly ".sqlite" (case matters):
// shop gives shop.sqlite, shop.SQLITE gives shop.SQLITE.sqlite.
QString withDatabaseExtension(const QString& name);

// True when the extension rule turned the chosen name into the name of a file that exists:
// the file dialog asked about replacing the name it was given only, so nobody has asked
// about this file yet.
bool replacesUnaskedFile(const QString& chosen);

// True when both paths name one existing file (compared after resolving links).
bool isSameFile(const QString& a, const QString& b);

// Where the file dialogs start: the folder of the current database, or the program's
// Data folder when there is no current file.
QString databaseDialogFolder(const ProgramFolder& folder, const QString& current);

// "Base yyyy-mm-dd hh-nn-ss" for the create dialog.
QString newDatabaseName(const QDateTime& now);

// "Copy " + the file name of the source, for the copy dialog.
QString copyDatabaseName(const QString& source);

// The file being left enters the history (once); the history is saved.
bool rememberCurrentDatabase(QStringList& history, const QString& current,
                             const QString& historyLog, QString* error = nullptr);

// Copies the template to target (replacing it) and points Global/Base at it. On a failed
// copy nothing changes, neither terminal.ini nor the target, and *error says why.
bool createDatabaseFromTemplate(const ProgramFolder& folder, const QString& target, QString* error);

// Copies source to target (replacing it); only a copy that succeeded enters the history.
bool copyDatabaseFile(const QString& source, const QString& target, QStringList& history,
                      const QString& historyLog, QString* error);

} // namespace dm
