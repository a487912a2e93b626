#include "db/dbtexts.h"

#include "app/langtext.h"

#include <QDir>

// Each text stays one literal, so the language file check finds it.
// clang-format off
namespace dm::dbtext {

namespace {

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

QString fileNotFound(const QString& path) {
    return LangText(u"Database", u"FileNotFound", u"The database file %1 does not exist.").arg(native(path));
}

QString notDatabase(const QString& path, const QString& reason) {
    return LangText(u"Database", u"NotDatabase", u"The file %1 is not a database: %2").arg(native(path), reason);
}

QString tableMissing(const QString& path, const QString& table) {
    return LangText(u"Database", u"TableMissing", u"The file %1 is not a database of this program: table %2 is missing.")
        .arg(native(path), table);
}

QString columnMissing(const QString& path, const QString& table, const QString& column) {
    return LangText(u"Database", u"ColumnMissing", u"The file %1 is not a database of this program: column %2 of table %3 is missing.")
        .arg(native(path), column, table);
}

QString openFailed(const QString& path, const QString& reason) {
    return LangText(u"Database", u"OpenFailed", u"The database %1 cannot be opened: %2").arg(native(path), reason);
}

QString createFailed(const QString& path, const QString& reason) {
    return LangText(u"Database", u"CreateFailed", u"The database %1 cannot be created: %2")
        .arg(native(path), reason);
}

QString compactFailed(const QString& path, const QString& reason) {
    return LangText(u"Database", u"CompactFailed", u"The database %1 cannot be compacted: %2")
        .arg(native(path), reason);
}

QString readFailed(const QString& table, const QString& reason) {
    return LangText(u"Database", u"ReadFailed", u"The table %1 cannot be read: %2").arg(table, reason);
}

QString writeFailed(const QString& table, const QString& reason) {
    return LangText(u"Database", u"WriteFailed", u"The change to table %1 cannot be saved: %2").arg(table, reason);
}

QString transactionFailed(const QString& reason) {
    return LangText(u"Database", u"TransactionFailed", u"The database transaction failed: %1").arg(reason);
}

QString recordGone(const QString& table) {
    return LangText(u"Database", u"RecordGone", u"The record no longer exists in table %1.").arg(table);
}

QString notOpen(const QString& table) {
    return LangText(u"Database", u"NotOpen", u"The table %1 is not open.").arg(table);
}

QString noRecord(const QString& table, int row) {
    return LangText(u"Database", u"NoRecord", u"There is no record %1 in table %2.").arg(row + 1).arg(table);
}

QString unknownField(const QString& table, const QString& field) {
    return LangText(u"Database", u"UnknownField", u"Table %1 has no field '%2'.").arg(table, field);
}

QString fieldRequired(const QString& field) {
    return LangText(u"Database", u"FieldRequired", u"Field '%1' must have a value.").arg(field);
}

QString fieldRange(const QString& field, const QString& value, qint64 minimum, qint64 maximum) {
    return LangText(u"Database", u"FieldRange", u"The value %1 is out of range for field '%2' (%3 to %4).")
        .arg(value, field, QString::number(minimum), QString::number(maximum));
}

QString fieldTooLong(const QString& field, int limit) {
    return LangText(u"Database", u"FieldTooLong", u"The text for field '%1' is too long: at most %2 characters are allowed.")
        .arg(field)
        .arg(limit);
}

QString fieldNotNumber(const QString& field, const QString& value) {
    return LangText(u"Database", u"FieldNotNumber", u"'%1' is not a valid number for field '%2'.").arg(value, field);
}

QString fieldNotDate(const QString& field, const QString& value) {
    return LangText(u"Database", u"FieldNotDate", u"'%1' is not a valid date and time for field '%2'.")
        .arg(value, field);
}

QString fieldReadOnly(const QString& field) {
    return LangText(u"Database", u"FieldReadOnly", u"Field '%1' cannot be modified.").arg(field);
}

} // namespace dm::dbtext
// clang-format on
