#include "db/schema.h"
#include "dbfixture.h"
#include "testsupport.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlRecord>

#include <ctime>
#include <map>

using namespace dm;
using namespace dm::test;

namespace {

// Opens a copy of the staged template on a raw connection.
class TemplateFile : public ::testing::Test {
protected:
    void SetUp() override {
        const QString staged = stagedProgramFolder() + QStringLiteral("/System/Default.sqlite");
        ASSERT_TRUE(QFileInfo::exists(staged)) << "the build stages the template";
        path = dir.filePath(QStringLiteral("Default.sqlite"));
        ASSERT_TRUE(QFile::copy(staged, path));
        name = uniqueConnectionName(QStringLiteral("test"));
        conn = sqlite::openConnection(name, path);
    }
    void TearDown() override {
        conn = QSqlDatabase();
        sqlite::removeConnection(name);
    }
    QList<QVariantList> rows(const QString& sql) {
        QList<QVariantList> out;
        QSqlQuery q(conn);
        EXPECT_TRUE(q.exec(sql)) << q.lastError().text().toStdString();
        while (q.next()) {
            QVariantList r;
            for (int i = 0; i < q.record().count(); ++i)
                r << q.value(i);
            out << r;
        }
        return out;
    }

    QTemporaryDir dir;
    QString path;
    QString name;
    QSqlDatabase conn;
};

} // namespace

TEST_F(TemplateFile, HasTheSevenTablesWithEveryColumn) {
    // Written out by hand: the files must keep these names whatever the code says.
    const std::map<QString, QStringList> expected = {
        {QStringLiteral("Products"),
         QStringLiteral("ID PLU Status LabelNo BarcodeNo Prefix Price Tare Code RealizeDate "
                        "DuringDate Certificate Group Name Ingredients Info FullName "
                        "FullIngredients FullInfo Barcode RVTName Type")
             .split(u' ')},
        {QStringLiteral("TicketLines"), QStringLiteral("ID Name Data").split(u' ')},
        {QStringLiteral("Salesmen"), QStringLiteral("ID Name Password").split(u' ')},
        {QStringLiteral("KeyPads"), QStringLiteral("ID Name").split(u' ')},
        {QStringLiteral("Keys"), QStringLiteral("ID PLU").split(u' ')},
        {QStringLiteral("ScalesSettings"), QStringLiteral("ID Name IP State Keypad").split(u' ')},
        {QStringLiteral("Totals"),
         QStringLiteral("ID Scales IP PLU Name Type DayWeight DayNum MonthWeight MonthNum Last "
                        "Read")
             .split(u' ')},
    };
    const QStringList tables = conn.tables();
    for (const auto& [table, columns] : expected) {
        ASSERT_TRUE(tables.contains(table)) << table.toStdString();
        const QSqlRecord rec = conn.record(table);
        QStringList actual;
        for (int i = 0; i < rec.count(); ++i)
            actual << rec.fieldName(i);
        EXPECT_EQ(actual, columns) << table.toStdString();
    }

    QStringList indexes;
    for (const QVariantList& r : rows(QStringLiteral(
             "SELECT tbl_name || '(' || name || ')' FROM sqlite_master WHERE type = 'index' "
             "AND sql IS NOT NULL ORDER BY 1")))
        indexes << r[0].toString();
    EXPECT_EQ(indexes, QStringList({QStringLiteral("Keys(Keys_ID)"),
                                    QStringLiteral("Products(Products_Barcode)"),
                                    QStringLiteral("Products(Products_PLU)")}));
}

TEST_F(TemplateFile, HoldsTheFirstRows) {
    const auto ticket = rows(QStringLiteral("SELECT ID, Data FROM TicketLines ORDER BY rowid"));
    ASSERT_EQ(ticket.size(), 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(ticket[i][0].toInt(), i + 1);
        EXPECT_FALSE(ticket[i][1].toString().isEmpty());
    }

    const auto salesmen =
        rows(QStringLiteral("SELECT ID, Name, Password FROM Salesmen ORDER BY rowid"));
    ASSERT_EQ(salesmen.size(), 9);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(salesmen[i][0].toInt(), i);
        EXPECT_TRUE(salesmen[i][2].toString().isEmpty());
    }
    EXPECT_EQ(salesmen[3][1].toString(), QStringLiteral("Operator 3"));

    const auto keypads = rows(QStringLiteral("SELECT ID, Name FROM KeyPads ORDER BY rowid"));
    ASSERT_GE(keypads.size(), 1);
    const auto keys = rows(QStringLiteral("SELECT ID, PLU FROM Keys ORDER BY rowid"));
    ASSERT_EQ(keys.size(), 33 * keypads.size());
    for (int k = 0; k < keys.size(); ++k) {
        EXPECT_EQ(keys[k][0].toInt(), 100 * (k / 33 + 1) + k % 33 + 1);
        EXPECT_EQ(keys[k][1].toInt(), 0);
    }
    for (const QString& empty :
         {QStringLiteral("Products"), QStringLiteral("ScalesSettings"), QStringLiteral("Totals")})
        EXPECT_EQ(rows(QStringLiteral("SELECT count(*) FROM ") + empty)[0][0].toInt(), 0)
            << empty.toStdString();
}

TEST_F(TemplateFile, AutoNumbersNeverReuseAnID) {
    for (const QString& table :
         {QStringLiteral("Products"), QStringLiteral("ScalesSettings"), QStringLiteral("Totals")}) {
        const QString col =
            table == QStringLiteral("Products") ? QStringLiteral("PLU") : QStringLiteral("Name");
        const QString insert =
            QStringLiteral("INSERT INTO \"%1\" (\"%2\") VALUES (1)").arg(table, col);
        rows(insert);
        rows(insert);
        rows(QStringLiteral("DELETE FROM \"%1\" WHERE ID = 2").arg(table));
        rows(insert);
        EXPECT_EQ(rows(QStringLiteral("SELECT max(ID) FROM \"%1\"").arg(table))[0][0].toInt(), 3)
            << table.toStdString();
    }
}

TEST(TemplateDatabase, ReplacesAnExistingFileAndLeavesNoTemporaryFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Default.sqlite"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a database");
    }
    createTemplateDatabase(path);
    EXPECT_EQ(folderEntries(dir.path()), QStringList{QStringLiteral("Default.sqlite")});
    Database db;
    db.open(path);
    EXPECT_EQ(db.ticket().recordCount(), 8);
}

TEST(TemplateDatabase, FailureThrowsAndCreatesNothing) {
    QTemporaryDir dir;
    const QString blocker = dir.filePath(QStringLiteral("file"));
    {
        QFile f(blocker);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    // A folder that cannot exist, because a file has its name.
    EXPECT_THROW(createTemplateDatabase(blocker + QStringLiteral("/System/Default.sqlite")),
                 DataError);
    EXPECT_EQ(folderEntries(dir.path()), QStringList{QStringLiteral("file")});
}

TEST(SchemaDates, StoredTextOrdersLikeTheTimes) {
    const QDateTime a(QDate(2016, 2, 9), QTime(23, 5, 1));
    const QDateTime b(QDate(2016, 10, 1), QTime(8, 0, 0));
    const QString ta = schema::toDbDateTime(a).toString();
    EXPECT_EQ(ta, QStringLiteral("2016-02-09 23:05:01"));
    EXPECT_LT(ta, schema::toDbDateTime(b).toString());
    EXPECT_EQ(schema::fromDbDateTime(ta), a);
    EXPECT_FALSE(schema::toDbDateTime(QDateTime()).isValid());
    EXPECT_FALSE(schema::fromDbDateTime(QStringLiteral("yesterday")).isValid());
}

// A scale's clock reading in the hour the local clock skips in spring stays a reading,
// with its date and time, instead of becoming no time at all.
TEST(SchemaDates, HourSkippedInSpringIsKept) {
    const QString zone = QStringLiteral("/usr/share/zoneinfo/Europe/Berlin");
    if (!QFileInfo::exists(zone))
        GTEST_SKIP() << "no time zone data";
    const QByteArray before = qgetenv("TZ");
    qputenv("TZ", ':' + QFile::encodeName(zone));
    tzset();
    const QDateTime skipped = schema::fromDbDateTime(QStringLiteral("2015-03-29 02:30:00"));
    const QDateTime autumn = schema::fromDbDateTime(QStringLiteral("2015-10-25 02:30:00"));
    if (before.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", before);
    tzset();
    ASSERT_TRUE(skipped.isValid());
    EXPECT_EQ(skipped.date(), QDate(2015, 3, 29));
    EXPECT_EQ(skipped.time(), QTime(2, 30));
    ASSERT_TRUE(autumn.isValid());
    EXPECT_EQ(autumn.time(), QTime(2, 30));
}
