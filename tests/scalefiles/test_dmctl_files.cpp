#include "scalefiletestdb.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>

#include <gtest/gtest.h>

using namespace dm;
using dm::test::readFile;
using dm::test::writeFile;

namespace {

QByteArray golden(const char* name) {
    QFile f(test::testDataDir() + QStringLiteral("/scalefiles/") + QString::fromLatin1(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return f.readAll();
}

struct DmctlRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// dmctl of the staged program folder, run on a scratch copy of it.
class DmctlFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(scratch.isValid());
        QDir().mkpath(scratch.path(QStringLiteral("Data")));
        for (const char* name : {"a.sqlite", "b.sqlite"}) {
            const QString path = scratch.path(QStringLiteral("Data/") + QString::fromLatin1(name));
            ASSERT_TRUE(QFile::copy(scratch.path(QStringLiteral("System/Default.sqlite")), path));
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        }
    }

    QString dbPath(const char* name) const {
        return scratch.path(QStringLiteral("Data/") + QString::fromLatin1(name));
    }
    QString dir(const char* name) const {
        const QString d = scratch.path(QString::fromLatin1(name));
        QDir().mkpath(d);
        return d;
    }

    DmctlRun dmctl(const char* db, QStringList args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        p.setProcessEnvironment(env);
        args = QStringList{QStringLiteral("--program-folder"),
                           scratch.root(),
                           QStringLiteral("--db"),
                           dbPath(db),
                           QStringLiteral("--language"),
                           QStringLiteral("ENG")} +
               args;
        p.start(scratch.path(QStringLiteral("dmctl")), args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }

    // SQL on a database file, outside dmctl.
    QStringList sql(const char* db, const QString& statement) {
        QStringList rows;
        {
            QSqlDatabase c =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
            c.setDatabaseName(dbPath(db));
            EXPECT_TRUE(c.open());
            QSqlQuery q(c);
            EXPECT_TRUE(q.exec(statement)) << statement.toStdString();
            while (q.next()) {
                QStringList cells;
                for (int i = 0; i < q.record().count(); ++i)
                    cells << q.value(i).toString();
                rows << cells.join(u'|');
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("check"));
        return rows;
    }

    QStringList contents(const char* db) {
        return sql(db,
                   QStringLiteral(
                       "SELECT PLU, RVTName, \"Type\", Price, Barcode FROM Products ORDER BY ID")) +
               sql(db, QStringLiteral("SELECT ID, Data FROM TicketLines ORDER BY ID")) +
               sql(db, QStringLiteral("SELECT ID, Name, Password FROM Salesmen ORDER BY ID"));
    }

    test::ScratchProgramFolder scratch;
    QTemporaryDir runtime;
};

} // namespace

TEST_F(DmctlFiles, MakeFilesThenImportFilesRoundTrip) {
    sql("a.sqlite", QStringLiteral("INSERT INTO Products (PLU, RVTName, \"Type\", Price) "
                                   "VALUES (1, 'AB', 'weight', '12.34')"));
    sql("a.sqlite", QStringLiteral("INSERT INTO KeyPads (ID, Name) VALUES (2, 'Second')"));
    for (int k = 1; k <= 33; ++k)
        sql("a.sqlite", QStringLiteral("INSERT INTO Keys (ID, PLU) VALUES (%1, %2)")
                            .arg(200 + k)
                            .arg(k == 5 ? 258 : 0));
    sql("a.sqlite", QStringLiteral("UPDATE TicketLines SET Data = 'Line ' || ID"));
    sql("b.sqlite",
        QStringLiteral("INSERT INTO Products (PLU, RVTName, Price) VALUES (9, 'Old', '1.00')"));

    const QString out = dir("card");
    const DmctlRun made =
        dmctl("a.sqlite", {QStringLiteral("make-files"), QStringLiteral("--out"), out,
                           QStringLiteral("--keypad"), QStringLiteral("Second")});
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
    EXPECT_EQ(QDir(out).entryList(QDir::Files, QDir::Name),
              (QStringList{QStringLiteral("RVT.dat"), QStringLiteral("Salesmen.dat"),
                           QStringLiteral("keyboard.dat"), QStringLiteral("products.dat")}));
    QFile goods(out + QStringLiteral("/products.dat"));
    ASSERT_TRUE(goods.open(QIODevice::ReadOnly));
    EXPECT_EQ(goods.readAll(), golden("goods_plu1_ab.dat"));
    QFile keys(out + QStringLiteral("/keyboard.dat"));
    ASSERT_TRUE(keys.open(QIODevice::ReadOnly));
    EXPECT_EQ(keys.readAll(), golden("keyboard_key5_plu258.dat"));

    // Into the first keypad of another database; its goods are replaced.
    const DmctlRun imported =
        dmctl("b.sqlite", {QStringLiteral("import-files"), QStringLiteral("--from"), out});
    EXPECT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    EXPECT_TRUE(imported.err.isEmpty()) << imported.err.toStdString();
    EXPECT_TRUE(imported.out.contains(QStringLiteral("products.dat: 1 stored, 0 refused")))
        << imported.out.toStdString();
    QStringList a = contents("a.sqlite");
    QStringList b = contents("b.sqlite");
    // Salesmen.dat carries position numbers for the template's empty passwords.
    b.replaceInStrings(QRegularExpression(QStringLiteral("^(\\d)\\|(.*)\\|\\1$")),
                       QStringLiteral("\\1|\\2|"));
    EXPECT_EQ(b, a);
    EXPECT_EQ(sql("b.sqlite", QStringLiteral("SELECT ID FROM Keys WHERE PLU <> 0")),
              QStringList{QStringLiteral("105")});
}

TEST_F(DmctlFiles, ExitCodes) {
    const QString from = dir("from");
    sql("a.sqlite",
        QStringLiteral("INSERT INTO Products (PLU, RVTName, Price) VALUES (3, 'Kept', '2.00')"));

    // A truncated goods file is refused whole; the ticket file beside it is still read.
    writeFile(from + QStringLiteral("/Products.dat"), golden("goods_plu1_ab.dat").left(54));
    writeFile(from + QStringLiteral("/RVT.dat"), golden("rvt_empty.dat"));
    DmctlRun r =
        dmctl("a.sqlite", {QStringLiteral("import-files"), QStringLiteral("--from"), from});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(
        QStringLiteral("Products.dat: the file ends inside a record (record at byte 0)")))
        << r.err.toStdString();
    EXPECT_EQ(sql("a.sqlite", QStringLiteral("SELECT PLU FROM Products")),
              QStringList{QStringLiteral("3")});
    EXPECT_EQ(sql("a.sqlite", QStringLiteral("SELECT COUNT(*) FROM TicketLines WHERE Data = ''")),
              QStringList{QStringLiteral("8")});

    // A row refused by the checks: its message, exit 1, the other row stored.
    writeFile(from + QStringLiteral("/Products.dat"),
              golden("goods_plu1_ab.dat") + golden("goods_plu1_ab.dat"));
    QFile::remove(from + QStringLiteral("/RVT.dat"));
    r = dmctl("a.sqlite", {QStringLiteral("import-files"), QStringLiteral("--from"), from});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("dmctl import-files: PLU exists: 1\n"));
    EXPECT_EQ(sql("a.sqlite", QStringLiteral("SELECT PLU, Price FROM Products")),
              QStringList{QStringLiteral("1|12.34")});

    // Totals: a whole file is appended, a 27-byte one adds nothing.
    const QString totals = from + QStringLiteral("/Totals.dat");
    writeFile(totals, golden("totals_examples.dat"));
    r = dmctl("a.sqlite", {QStringLiteral("import-totals"), totals});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    writeFile(totals, golden("totals_examples.dat").left(27));
    r = dmctl("a.sqlite", {QStringLiteral("import-totals"), totals, QStringLiteral("--source"),
                           QStringLiteral("10.0.0.5")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("record at byte 0"))) << r.err.toStdString();
    EXPECT_EQ(sql("a.sqlite", QStringLiteral("SELECT Scales, IP, PLU FROM Totals ORDER BY ID")),
              (QStringList{QStringLiteral("miniSD|miniSD|7"), QStringLiteral("miniSD|miniSD|8")}));

    const QStringList usage[] = {
        {QStringLiteral("make-files")},
        {QStringLiteral("import-files"), QStringLiteral("--from")},
        {QStringLiteral("import-files"), QStringLiteral("--from"), from, QStringLiteral("extra")},
        {QStringLiteral("import-totals")},
        {QStringLiteral("make-files"), QStringLiteral("--out"), from, QStringLiteral("--bogus")},
    };
    for (const QStringList& args : usage)
        EXPECT_EQ(dmctl("a.sqlite", args).exitCode, 2) << args.join(u' ').toStdString();
    EXPECT_EQ(dmctl("a.sqlite", {QStringLiteral("make-files"), QStringLiteral("--out"), from,
                                 QStringLiteral("--keypad"), QStringLiteral("Nope")})
                  .exitCode,
              1);
}

TEST_F(DmctlFiles, CardSaveLoadAndTotalsThroughAFolderStandingForTheCard) {
    sql("a.sqlite", QStringLiteral("INSERT INTO Products (PLU, RVTName, \"Type\", Price) "
                                   "VALUES (1, 'AB', 'weight', '12.34')"));
    const QString card = dir("card");
    DmctlRun r = dmctl("a.sqlite", {QStringLiteral("card"), QStringLiteral("save"),
                                    QStringLiteral("--root"), card});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("Goods file making...\nTicket file making...\n"
                                    "Keypad file making...\nSaving in progress...\n"
                                    "Saving completed successfully\n"));
    EXPECT_EQ(QDir(card).entryList(QDir::Files, QDir::Name),
              (QStringList{QStringLiteral("RVT.dat"), QStringLiteral("keyboard.dat"),
                           QStringLiteral("products.dat"), QStringLiteral("salesmen.dat")}));

    // A card with only the goods: they are read, the other three are named, exit 1.
    const QString goodsOnly = dir("goodsonly");
    ASSERT_TRUE(QFile::copy(card + QStringLiteral("/products.dat"),
                            goodsOnly + QStringLiteral("/PRODUCTS.DAT")));
    r = dmctl("b.sqlite", {QStringLiteral("card"), QStringLiteral("load"), QStringLiteral("--root"),
                           goodsOnly});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out.count(QStringLiteral("Reading failed")), 3) << r.out.toStdString();
    EXPECT_EQ(r.err, QStringLiteral("dmctl card load: RVT.dat: not on the card\n"
                                    "dmctl card load: salesmen.dat: not on the card\n"
                                    "dmctl card load: keyboard.dat: not on the card\n"));
    EXPECT_EQ(sql("b.sqlite", QStringLiteral("SELECT PLU, RVTName, Price FROM Products")),
              QStringList{QStringLiteral("1|AB|12.34")});

    // The whole card loads with exit 0.
    r = dmctl("b.sqlite",
              {QStringLiteral("card"), QStringLiteral("load"), QStringLiteral("--root"), card});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();

    // Totals: none on the card is a failure; then the card's summary.dat as miniSD.
    r = dmctl("b.sqlite",
              {QStringLiteral("card"), QStringLiteral("totals"), QStringLiteral("--root"), card});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.contains(QStringLiteral("Reading failed"))) << r.out.toStdString();
    writeFile(card + QStringLiteral("/summary.dat"), golden("totals_examples.dat"));
    r = dmctl("b.sqlite",
              {QStringLiteral("card"), QStringLiteral("totals"), QStringLiteral("--root"), card});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(sql("b.sqlite", QStringLiteral("SELECT Scales, IP, PLU FROM Totals ORDER BY ID")),
              (QStringList{QStringLiteral("miniSD|miniSD|7"), QStringLiteral("miniSD|miniSD|8")}));

    EXPECT_EQ(dmctl("a.sqlite", {QStringLiteral("card"), QStringLiteral("save")}).exitCode, 2);
    EXPECT_EQ(dmctl("a.sqlite",
                    {QStringLiteral("card"), QStringLiteral("totals"), QStringLiteral("--root"),
                     card, QStringLiteral("--keypad"), QStringLiteral("x")})
                  .exitCode,
              2);
    EXPECT_EQ(dmctl("a.sqlite", {QStringLiteral("card"), QStringLiteral("save"),
                                 QStringLiteral("--root"), card + QStringLiteral("/missing")})
                  .exitCode,
              1);
}
