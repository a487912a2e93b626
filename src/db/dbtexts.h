#pragma once

#include <QString>

// The data layer's own messages, each from section Database of the language file.
namespace dm::dbtext {

QString fileNotFound(const QString& path);
QString notDatabase(const QString& path, const QString& reason);
QString tableMissing(const QString& path, const QString& table);
QString columnMissing(const QString& path, const QString& table, const QString& column);
QString openFailed(const QString& path, const QString& reason);
QString createFailed(const QString& path, const QString& reason);
QString compactFailed(const QString& path, const QString& reason);
QString readFailed(const QString& table, const QString& reason);
QString writeFailed(const QString& table, const QString& reason);
QString transactionFailed(const QString& reason);
QString recordGone(const QString& table);
QString notOpen(const QString& table);
QString noRecord(const QString& table, int row);
QString unknownField(const QString& table, const QString& field);

QString fieldRequired(const QString& field);
QString fieldRange(const QString& field, const QString& value, qint64 minimum, qint64 maximum);
QString fieldTooLong(const QString& field, int limit);
QString fieldNotNumber(const QString& field, const QString& value);
QString fieldNotDate(const QString& field, const QString& value);
QString fieldReadOnly(const QString& field);

} // namespace dm::dbtext
