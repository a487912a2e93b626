#include "db/dbtexts.h"

#include "app/langtext.h"

#include <QDir>

namespace dm::dbtext {

namespace {

QString text(const char16_t* key, const char16_t* def) {
    return LangText(u"Database", key, def);
}

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

QString fileNotFound(const QString& path) {
    return text(u"FileNotFound", u"The database file %1 does not exist.").arg(native(path));
}

QString notDatabase(const QString& path, const QString& reason) {
    return text(u"NotDatabase", u"The file %1 is not a database: %2").arg(native(path), reason);
}

QString tableMissing(const QString& path, const QString& table) {
    return text(u"TableMissing", u"The file %1 is not a database of this program: table %2 is "
                                 u"missing.")
        .arg(native(path), table);
}

QString columnMissing(const QString& path, const QString& table, const QString& column) {
    return text(u"ColumnMissing", u"The file %1 is not a database of this program: column %2 "
                                  u"of table %3 is missing.")
        .arg(native(path), column, table);
}

QString openFailed(const QString& path, const QString& reason) {
    return text(u"OpenFailed", u"The database %1 cannot be opened: %2").arg(native(path), reason);
}

QString createFailed(const QString& path, const QString& reason) {
    return text(u"CreateFailed", u"The database %1 cannot be created: %2")
        .arg(native(path), reason);
}

QString compactFailed(const QString& path, const QString& reason) {
    return text(u"CompactFailed", u"The database %1 cannot be compacted: %2")
        .arg(native(path), reason);
}

QString readFailed(const QString& table, const QString& reason) {
    return text(u"ReadFailed", u"The table %1 cannot be read: %2").arg(table, reason);
}

QString writeFailed(const QString& table, const QString& reason) {
    return text(u"WriteFailed", u"The change to table %1 cannot be saved: %2").arg(table, reason);
}

QString transactionFailed(const QString& reason) {
    return text(u"TransactionFailed", u"The database transaction failed: %1").arg(reason);
}

QString recordGone(const QString& table) {
    return text(u"RecordGone", u"The record no longer exists in table %1.").arg(table);
}

QString noRecord(const QString& table, int row) {
    return text(u"NoRecord", u"There is no record %1 in table %2.").arg(row + 1).arg(table);
}

QString unknownField(const QString& table, const QString& field) {
    return text(u"UnknownField", u"Table %1 has no field '%2'.").arg(table, field);
}

QString fieldRequired(const QString& field) {
    return text(u"FieldRequired", u"Field '%1' must have a value.").arg(field);
}

QString fieldRange(const QString& field, const QString& value, qint64 minimum, qint64 maximum) {
    return text(u"FieldRange", u"The value %1 is out of range for field '%2' (%3 to %4).")
        .arg(value, field, QString::number(minimum), QString::number(maximum));
}

QString fieldTooLong(const QString& field, int limit) {
    return text(u"FieldTooLong", u"The text for field '%1' is too long: at most %2 characters "
                                 u"are allowed.")
        .arg(field)
        .arg(limit);
}

QString fieldNotNumber(const QString& field, const QString& value) {
    return text(u"FieldNotNumber", u"'%1' is not a valid number for field '%2'.").arg(value, field);
}

QString fieldNotDate(const QString& field, const QString& value) {
    return text(u"FieldNotDate", u"'%1' is not a valid date and time for field '%2'.")
        .arg(value, field);
}

QString fieldReadOnly(const QString& field) {
    return text(u"FieldReadOnly", u"Field '%1' cannot be modified.").arg(field);
}

} // namespace dm::dbtext
