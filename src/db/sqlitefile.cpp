#include "db/sqlitefile.h"

#include "app/errors.h"
#include "db/compaction.h"
#include "db/database.h"
#include "db/dbtexts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryFile>
#include <QUrl>

namespace dm::sqlite {

namespace {

const QString driverName = QStringLiteral("QSQLITE");

} // namespace

QString columnTypeSql(const schema::Column& column) {
    switch (column.type) {
    case schema::ColumnType::AutoNumber:
        return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case schema::ColumnType::Integer:
    case schema::ColumnType::SmallInt:
    case schema::ColumnType::UnsignedSmallInt:
        return QStringLiteral("INTEGER");
    case schema::ColumnType::Double:
        return QStringLiteral("REAL");
    case schema::ColumnType::Text:
    case schema::ColumnType::Memo:
    case schema::ColumnType::DateTime:
        return QStringLiteral("TEXT");
    }
    return QStringLiteral("TEXT");
}

QString rowIdColumn() {
    return QStringLiteral("rowid");
}

QSqlDatabase openConnection(const QString& name, const QString& path, bool readOnly) {
    const QFileInfo fi(path);
    if (!fi.isFile())
        throw DataError(dbtext::fileNotFound(path));

    QString reason;
    bool notDatabase = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(driverName, name);
        // A URI with mode=rw (or ro) opens an existing file only: SQLite would otherwise
        // create an empty database where the file has just vanished.
        db.setDatabaseName(QUrl::fromLocalFile(fi.absoluteFilePath()).toString(QUrl::FullyEncoded) +
                           (readOnly ? QStringLiteral("?mode=ro") : QStringLiteral("?mode=rw")));
        QString options = QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=2000");
        if (readOnly)
            options += QStringLiteral(";QSQLITE_OPEN_READONLY");
        db.setConnectOptions(options);
        if (!db.open()) {
            reason = db.lastError().text();
        } else {
            // Opening is lazy; reading the header tells a database from any other file.
            QSqlQuery q(db);
            if (!q.exec(QStringLiteral("PRAGMA schema_version")) || !q.next()) {
                reason = q.lastError().text();
                notDatabase = true;
            }
        }
        if (reason.isEmpty())
            return db;
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    throw DataError(notDatabase ? dbtext::notDatabase(path, reason)
                                : dbtext::openFailed(path, reason));
}

void removeConnection(const QString& name) {
    if (!QSqlDatabase::contains(name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

bool vacuumInto(const QString& source, const QString& target, QString* error) {
    const QString name = uniqueConnectionName(QStringLiteral("vacuum"));
    QString reason;
    try {
        // Read-only: compaction never writes to the original.
        QSqlDatabase db = openConnection(name, source, true);
        QSqlQuery q(db);
        q.prepare(QStringLiteral("VACUUM INTO ?"));
        q.addBindValue(QFileInfo(target).absoluteFilePath());
        if (!q.exec())
            reason = q.lastError().text();
    } catch (const DataError& e) {
        reason = e.text();
    }
    removeConnection(name);
    if (!reason.isEmpty() && error)
        *error = reason;
    return reason.isEmpty();
}

} // namespace dm::sqlite

namespace dm {

void createTemplateDatabase(const QString& path) {
    const QFileInfo fi(path);
    QDir().mkpath(fi.absolutePath());
    // An empty file is a valid empty SQLite database, so the temporary file can be made
    // (with a unique name) before SQLite opens it.
    QTemporaryFile tmp(fi.absolutePath() + QStringLiteral("/.") + fi.fileName() +
                       QStringLiteral(".XXXXXX"));
    if (!tmp.open())
        throw DataError(dbtext::createFailed(path, tmp.errorString()));
    tmp.close();

    const QString name = uniqueConnectionName(QStringLiteral("template"));
    try {
        QSqlDatabase db = sqlite::openConnection(name, tmp.fileName());
        schema::createSchema(db);
        schema::fillTemplateRows(db);
    } catch (const UserError& e) {
        sqlite::removeConnection(name);
        throw DataError(dbtext::createFailed(path, e.text()));
    }
    sqlite::removeConnection(name);

    // QTemporaryFile makes owner-only files; the template is read by everyone.
    QFile::setPermissions(tmp.fileName(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                              QFile::ReadOther);
    QString reason;
    if (!replaceFile(tmp.fileName(), path, &reason))
        throw DataError(dbtext::createFailed(path, reason));
    tmp.setAutoRemove(false);
}

} // namespace dm
