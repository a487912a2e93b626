#pragma once

#include "db/schema.h"

#include <QSqlDatabase>
#include <QString>

// Everything that only SQLite has: its column types, its row numbers, how a file is
// opened without ever creating it, VACUUM INTO and the template file. The rest of the data
// layer speaks standard SQL through Qt SQL.
namespace dm::sqlite {

QString columnTypeSql(const schema::Column& column);
QString rowIdColumn(); // the implicit row number of a table

// Adds the connection `name` and opens the existing file path on it, refusing a missing
// file or one that is not an SQLite database. The file is never created. On failure the
// connection is removed again and DataError is thrown.
QSqlDatabase openConnection(const QString& name, const QString& path, bool readOnly = false);

// Closes and removes the connection `name`; every QSqlDatabase copy of it must be gone.
void removeConnection(const QString& name);

// Writes a compacted copy of the closed database source into target, which must not exist
// or be an empty file. False with the reason in *error on failure.
bool vacuumInto(const QString& source, const QString& target, QString* error);

} // namespace dm::sqlite

namespace dm {

// Writes a fresh template database (the seven tables and their first rows) to path,
// replacing any file there. The file appears complete or not at all. Throws DataError.
void createTemplateDatabase(const QString& path);

} // namespace dm
