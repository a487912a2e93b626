#include "db/schema.h"

#include "app/errors.h"
#include "db/dbtexts.h"
#include "db/sqlitefile.h"

#include <QSqlError>
#include <QSqlQuery>

#include <limits>

namespace dm::schema {

namespace {

using T = ColumnType;

constexpr qint64 IntMin = std::numeric_limits<qint32>::min();
constexpr qint64 IntMax = std::numeric_limits<qint32>::max();

Column autoId() {
    return {QStringLiteral("ID"), T::AutoNumber, 0, 0, false, 1, IntMax};
}
Column integer(const char16_t* name, bool templateOnly = false) {
    return {QString::fromUtf16(name), T::Integer, 0, 0, false, IntMin, IntMax, templateOnly};
}
Column smallInt(const char16_t* name) {
    return {QString::fromUtf16(name), T::SmallInt, 0, 0, false, -32768, 32767, true};
}
Column unsignedSmallInt(const char16_t* name) {
    return {QString::fromUtf16(name), T::UnsignedSmallInt, 0, 0, false, 0, 65535, true};
}
Column real(const char16_t* name) {
    return {QString::fromUtf16(name), T::Double};
}
Column text(const char16_t* name, int size, int fieldLimit = 0, bool templateOnly = false) {
    return {QString::fromUtf16(name), T::Text, size, fieldLimit, false, 0, 0, templateOnly};
}
Column memo(const char16_t* name) {
    return {QString::fromUtf16(name), T::Memo, 0, 0, false, 0, 0, true};
}
Column dateTime(const char16_t* name, bool templateOnly = false) {
    return {QString::fromUtf16(name), T::DateTime, 0, 0, false, 0, 0, templateOnly};
}

std::vector<Table> buildTables() {
    std::vector<Table> t;

    Column plu = integer(u"PLU");
    plu.required = true;
    plu.minimum = 0;
    plu.maximum = MaxPLU;
    t.push_back({QStringLiteral("Products"),
                 {autoId(),
                  plu,
                  smallInt(u"Status"),
                  unsignedSmallInt(u"LabelNo"),
                  unsignedSmallInt(u"BarcodeNo"),
                  text(u"Prefix", 2, 0, true),
                  text(u"Price", 50, 30),
                  integer(u"Tare", true),
                  integer(u"Code", true),
                  dateTime(u"RealizeDate", true),
                  integer(u"DuringDate", true),
                  text(u"Certificate", 4, 0, true),
                  smallInt(u"Group"),
                  text(u"Name", 250, 0, true),
                  memo(u"Ingredients"),
                  memo(u"Info"),
                  text(u"FullName", 50, 0, true),
                  memo(u"FullIngredients"),
                  memo(u"FullInfo"),
                  text(u"Barcode", 50, 13),
                  text(u"RVTName", 50, 32),
                  text(u"Type", 50)},
                 {{QStringLiteral("Products_PLU"), QStringLiteral("PLU")},
                  {QStringLiteral("Products_Barcode"), QStringLiteral("Barcode")}},
                 true});

    t.push_back({QStringLiteral("TicketLines"),
                 {integer(u"ID"), text(u"Name", 50, 0, true), text(u"Data", 50)},
                 {},
                 false});

    t.push_back({QStringLiteral("Salesmen"),
                 {integer(u"ID"), text(u"Name", 50), text(u"Password", 50)},
                 {},
                 false});

    t.push_back({QStringLiteral("KeyPads"), {integer(u"ID"), text(u"Name", 50)}, {}, false});

    t.push_back({QStringLiteral("Keys"),
                 {integer(u"ID"), integer(u"PLU")},
                 {{QStringLiteral("Keys_ID"), QStringLiteral("ID")}},
                 false});

    t.push_back(
        {QStringLiteral("ScalesSettings"),
         {autoId(), text(u"Name", 255), text(u"IP", 50), text(u"State", 50), text(u"Keypad", 255)},
         {},
         true});

    t.push_back({QStringLiteral("Totals"),
                 {autoId(), text(u"Scales", 50), text(u"IP", 50), integer(u"PLU"),
                  text(u"Name", 50), text(u"Type", 50), real(u"DayWeight"), integer(u"DayNum"),
                  real(u"MonthWeight"), integer(u"MonthNum"), dateTime(u"Last"), dateTime(u"Read")},
                 {},
                 true});
    return t;
}

void exec(QSqlQuery& q, const QString& table) {
    if (!q.exec())
        throw DataError(dbtext::writeFailed(table, q.lastError().text()));
}

void execText(const QSqlDatabase& db, const QString& sql, const QString& table) {
    QSqlQuery q(db);
    if (!q.exec(sql))
        throw DataError(dbtext::writeFailed(table, q.lastError().text()));
}

// Runs body in one transaction on db, rolling back when it throws.
template <typename F> void inTransaction(QSqlDatabase db, F&& body) {
    if (!db.transaction())
        throw DataError(dbtext::transactionFailed(db.lastError().text()));
    try {
        body();
    } catch (...) {
        db.rollback();
        throw;
    }
    if (!db.commit()) {
        const QString reason = db.lastError().text();
        db.rollback();
        throw DataError(dbtext::transactionFailed(reason));
    }
}

} // namespace

const Column* Table::column(QStringView n) const {
    for (const Column& c : columns)
        if (QStringView(c.name).compare(n, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

const std::vector<Table>& tables() {
    static const std::vector<Table> all = buildTables();
    return all;
}

const Table* table(QStringView name) {
    for (const Table& t : tables())
        if (QStringView(t.name).compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

QStringList tableNames() {
    QStringList names;
    for (const Table& t : tables())
        names << t.name;
    return names;
}

QString quoted(QStringView identifier) {
    QString s = identifier.toString();
    s.replace(u'"', QStringLiteral("\"\""));
    return u'"' + s + u'"';
}

QString identityExpression(const Table& t) {
    return t.hasAutoId ? quoted(u"ID") : sqlite::rowIdColumn();
}

QStringList createStatements() {
    QStringList out;
    for (const Table& t : tables()) {
        QStringList cols;
        for (const Column& c : t.columns) {
            QString def = quoted(c.name) + u' ' + sqlite::columnTypeSql(c);
            if (c.required && c.type != ColumnType::AutoNumber)
                def += QStringLiteral(" NOT NULL");
            cols << def;
        }
        out << QStringLiteral("CREATE TABLE %1 (%2)")
                   .arg(quoted(t.name), cols.join(QStringLiteral(", ")));
        for (const Index& i : t.indexes)
            out << QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
                       .arg(quoted(i.name), quoted(t.name), quoted(i.column));
    }
    return out;
}

void createSchema(const QSqlDatabase& db) {
    inTransaction(db, [&] {
        for (const QString& sql : createStatements())
            execText(db, sql, QString());
    });
}

void fillTemplateRows(const QSqlDatabase& db) {
    // Texts a new shop starts from; the ticket page edits them.
    static const char16_t* const ticketLines[8] = {
        u"OUR SHOP",          u"1 Market Street", u"Tel. 000-00-00",
        u"Open 8:00-22:00",   u"Welcome!",        u"Thank you for your purchase!",
        u"Please come again", u"Have a nice day",
    };
    inTransaction(db, [&] {
        QSqlQuery q(db);
        const QString ticket = QStringLiteral("TicketLines");
        q.prepare(QStringLiteral("INSERT INTO \"TicketLines\" (\"ID\", \"Data\") VALUES (?, ?)"));
        for (int id = 1; id <= 8; ++id) {
            q.addBindValue(id);
            q.addBindValue(QString::fromUtf16(ticketLines[id - 1]));
            exec(q, ticket);
        }

        const QString salesmen = QStringLiteral("Salesmen");
        q.prepare(QStringLiteral(
            "INSERT INTO \"Salesmen\" (\"ID\", \"Name\", \"Password\") VALUES (?, ?, ?)"));
        for (int id = 0; id <= 8; ++id) {
            q.addBindValue(id);
            q.addBindValue(id == 0 ? QStringLiteral("Administrator")
                                   : QStringLiteral("Operator %1").arg(id));
            q.addBindValue(QStringLiteral(""));
            exec(q, salesmen);
        }

        q.prepare(QStringLiteral("INSERT INTO \"KeyPads\" (\"ID\", \"Name\") VALUES (?, ?)"));
        q.addBindValue(1);
        q.addBindValue(QStringLiteral("Keypad 1"));
        exec(q, QStringLiteral("KeyPads"));

        q.prepare(QStringLiteral("INSERT INTO \"Keys\" (\"ID\", \"PLU\") VALUES (?, 0)"));
        for (int key = 1; key <= 33; ++key) {
            q.addBindValue(100 + key);
            exec(q, QStringLiteral("Keys"));
        }
    });
}

QString dateTimeFormat() {
    return QStringLiteral("yyyy-MM-dd HH:mm:ss");
}

QVariant toDbDateTime(const QDateTime& value) {
    if (!value.isValid())
        return QVariant();
    return value.toLocalTime().toString(dateTimeFormat());
}

namespace {
// A stored time is a wall-clock reading (a scale's clock has no zone). An hour that the
// local clock skips in spring has no local time, and QDateTime would make it invalid,
// so the reading would vanish; it is kept with the same date and time, zone-free.
QDateTime wallClock(const QDate& d, const QTime& t) {
    QDateTime local(d, t);
    if (local.isValid() && local.time() == t)
        return local;
    return QDateTime(d, t, Qt::UTC);
}
} // namespace

QDateTime fromDbDateTime(const QVariant& value) {
    if (value.isNull() || !value.isValid())
        return QDateTime();
    if (value.metaType().id() == QMetaType::QDateTime)
        return value.toDateTime();
    const QString s = value.toString().trimmed();
    // The stored form has fixed positions; reading them directly is many times faster
    // than the format parser, which matters for 100,000 totals rows.
    if (s.size() == 19 && s[4] == u'-' && s[7] == u'-' && s[10] == u' ' && s[13] == u':' &&
        s[16] == u':') {
        const auto num = [&s](int from, int len) {
            int v = 0;
            for (int i = from; i < from + len; ++i) {
                const char16_t c = s[i].unicode();
                if (c < u'0' || c > u'9')
                    return -1;
                v = v * 10 + (c - u'0');
            }
            return v;
        };
        const QDate d(num(0, 4), num(5, 2), num(8, 2));
        const QTime t(num(11, 2), num(14, 2), num(17, 2));
        if (d.isValid() && t.isValid())
            return wallClock(d, t);
    }
    QDateTime dt = QDateTime::fromString(s, dateTimeFormat());
    if (!dt.isValid())
        dt = QDateTime::fromString(s, Qt::ISODate);
    if (!dt.isValid()) {
        const QDate d = QDate::fromString(s, Qt::ISODate);
        if (d.isValid())
            dt = d.startOfDay();
    }
    return dt;
}

} // namespace dm::schema
