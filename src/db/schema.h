#pragma once

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVariant>

#include <vector>

// The seven tables of a database file: every column with its type, size and the rules
// that the datasets enforce. Table creation, the template rows and the datasets all read
// their facts from here, so a column is described once.
namespace dm::schema {

enum class ColumnType {
    AutoNumber,       // row identity given by the database, read-only
    Integer,          // 32-bit integer
    SmallInt,         // 16-bit integer
    UnsignedSmallInt, // 16-bit unsigned integer
    Double,
    Text,     // at most `size` characters
    Memo,     // unbounded text
    DateTime, // stored as text "YYYY-MM-DD HH:MM:SS"
};

struct Column {
    QString name;
    ColumnType type = ColumnType::Text;
    int size = 0;       // characters a Text column holds
    int fieldLimit = 0; // characters a dataset field accepts (0: size)
    bool required = false;
    qint64 minimum = 0; // accepted range of integer columns
    qint64 maximum = 0;
    bool templateOnly = false; // in the file, never read or written by the program

    bool isInteger() const {
        return type == ColumnType::AutoNumber || type == ColumnType::Integer ||
               type == ColumnType::SmallInt || type == ColumnType::UnsignedSmallInt;
    }
    bool isText() const { return type == ColumnType::Text || type == ColumnType::Memo; }
    // Characters a dataset field accepts; 0 means no limit.
    int textLimit() const { return fieldLimit > 0 ? fieldLimit : size; }
};

struct Index {
    QString name;
    QString column;
};

struct Table {
    QString name;
    std::vector<Column> columns;
    std::vector<Index> indexes;
    bool hasAutoId = false; // ID is an auto number and the row identity

    const Column* column(QStringView name) const; // case-insensitive; nullptr when unknown
};

// The tables in the order the datasets open them.
const std::vector<Table>& tables();
const Table* table(QStringView name); // case-insensitive; nullptr when unknown
QStringList tableNames();

// The bounds of Products.PLU, also used by the goods editor for the next free PLU.
inline constexpr qint64 MaxPLU = 99999999;

// A quoted identifier ("Group", "Name", ...) for use in SQL text.
QString quoted(QStringView identifier);

// The expression that selects a row's identity: ID where it is an auto number, the
// engine's own row number otherwise.
QString identityExpression(const Table& table);

// CREATE TABLE and CREATE INDEX statements for every table.
QStringList createStatements();

// Creates the seven tables and their indexes on an open connection, in one transaction.
// Throws DataError.
void createSchema(const QSqlDatabase& db);

// Fills the rows every new database starts with: ticket lines 1 to 8, operators 0 to 8
// and keypad 1 with its 33 keys. Throws DataError.
void fillTemplateRows(const QSqlDatabase& db);

// Date and time values as the files store them, "YYYY-MM-DD HH:MM:SS" in local time, so
// that text comparison orders them. A null or invalid QDateTime is stored as NULL.
QString dateTimeFormat();
QVariant toDbDateTime(const QDateTime& value);
QDateTime fromDbDateTime(const QVariant& value); // invalid QDateTime for NULL or bad text

} // namespace dm::schema
