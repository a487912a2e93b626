#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <gtest/gtest.h>

namespace dm::test {

// One row of the Totals table as a test writes it; Last is ISO text as in the file, or
// empty for none.
struct TotalsRow {
    const char* scales;
    int plu;
    const char* name;
    const char* last;
};

// Appends the rows to the Totals table of the file at path, in the order given.
inline void writeTotals(const QString& path, std::initializer_list<TotalsRow> rows) {
    const QString connection = QStringLiteral("totals-rows");
    {
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        c.setDatabaseName(path);
        ASSERT_TRUE(c.open()) << c.lastError().text().toStdString();
        QSqlQuery q(c);
        q.prepare(QStringLiteral(
            "INSERT INTO \"Totals\" (\"Scales\", \"IP\", \"PLU\", \"Name\", \"Type\", "
            "\"DayWeight\", \"DayNum\", \"MonthWeight\", \"MonthNum\", \"Last\", \"Read\") "
            "VALUES (?, '10.0.0.1', ?, ?, 'weight', 1.5, 2, 30.25, 40, ?, "
            "'2016-03-01 12:00:00')"));
        for (const TotalsRow& r : rows) {
            q.addBindValue(QString::fromUtf8(r.scales));
            q.addBindValue(r.plu);
            q.addBindValue(QString::fromUtf8(r.name));
            const QString last = QString::fromUtf8(r.last);
            q.addBindValue(last.isEmpty() ? QVariant() : QVariant(last));
            ASSERT_TRUE(q.exec()) << q.lastError().text().toStdString();
        }
    }
    QSqlDatabase::removeDatabase(connection);
}

} // namespace dm::test
