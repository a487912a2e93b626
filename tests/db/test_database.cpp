#include "dbfixture.h"
#include "testsupport.h"

using namespace dm;
using namespace dm::test;

namespace {

struct RefusedFile {
    const char* name;
    bool exists;
    QByteArray bytes;
    const char* words; // part of the message
};

class RefusedOpen : public ::testing::TestWithParam<RefusedFile> {};

} // namespace

// A file that is not a database of the program is refused as it is: never created,
// never written, and no journal appears beside it.
TEST_P(RefusedOpen, ThrowsAndTouchesNothing) {
    const RefusedFile& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Base.sqlite"));
    if (c.exists)
        writeFile(path, c.bytes);
    const QStringList before = folderEntries(dir.path());
    const QByteArray hash = fileHash(path);

    Database db;
    try {
        db.open(path);
        FAIL() << "opened " << c.name;
    } catch (const DataError& e) {
        EXPECT_TRUE(e.text().contains(QString::fromUtf8(c.words))) << e.text().toStdString();
        EXPECT_TRUE(e.text().contains(QDir::toNativeSeparators(path)));
    }
    EXPECT_FALSE(db.isOpen());
    EXPECT_EQ(folderEntries(dir.path()), before);
    EXPECT_EQ(fileHash(path), hash);
    EXPECT_EQ(db.products().recordCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Files, RefusedOpen,
    ::testing::Values(RefusedFile{"missing", false, QByteArray(), "does not exist"},
                      RefusedFile{"text", true, QByteArray("PLU;Name\r\n1;Milk\r\n"),
                                  "not a database"},
                      RefusedFile{"bytes", true, QByteArray(4096, '\x5a'), "not a database"},
                      RefusedFile{"empty", true, QByteArray(), "table Products is missing"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DatabaseOpen, RefusesADatabaseWithoutTheProgramsTables) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Other.sqlite"));
    createTemplateDatabase(path);
    {
        const QString name = uniqueConnectionName(QStringLiteral("test"));
        {
            QSqlDatabase c = sqlite::openConnection(name, path);
            QSqlQuery q(c);
            ASSERT_TRUE(q.exec(QStringLiteral("ALTER TABLE Totals DROP COLUMN \"Read\"")));
        }
        sqlite::removeConnection(name);
    }
    Database db;
    try {
        db.open(path);
        FAIL();
    } catch (const DataError& e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("Read"))) << e.text().toStdString();
    }
    EXPECT_FALSE(db.isOpen());
}

TEST(DatabaseOpen, EachDatabaseHasItsOwnConnectionRemovedOnClose) {
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.sqlite"));
    const QString b = dir.filePath(QStringLiteral("b.sqlite"));
    createTemplateDatabase(a);
    createTemplateDatabase(b);
    const QStringList before = QSqlDatabase::connectionNames();
    {
        Database da;
        Database dbb;
        da.open(a);
        dbb.open(b);
        EXPECT_NE(da.connection().connectionName(), dbb.connection().connectionName());
        da.products().append({{QStringLiteral("PLU"), 1}});
        EXPECT_EQ(dbb.products().recordCount(), 0);
        da.close();
        EXPECT_FALSE(da.isOpen());
        EXPECT_EQ(da.products().recordCount(), 0);
        EXPECT_EQ(QSqlDatabase::connectionNames().size(), before.size() + 1);
        // Reopening gives the same rows back.
        da.open(a);
        EXPECT_EQ(da.products().recordCount(), 1);
    }
    EXPECT_EQ(QSqlDatabase::connectionNames(), before);
}

class TransactionTest : public DbFixture {};

TEST_F(TransactionTest, RollsBackUnlessCommittedAndNests) {
    auto count = [&] { return scalar(QStringLiteral("SELECT count(*) FROM Products")).toInt(); };
    {
        Transaction t(db.connection());
        exec(QStringLiteral("INSERT INTO Products (PLU) VALUES (1)"));
    }
    EXPECT_EQ(count(), 0);

    {
        Transaction outer(db.connection());
        exec(QStringLiteral("INSERT INTO Products (PLU) VALUES (1)"));
        {
            Transaction inner(db.connection());
            exec(QStringLiteral("INSERT INTO Products (PLU) VALUES (2)"));
        } // rolled back alone
        {
            Transaction inner(db.connection());
            exec(QStringLiteral("INSERT INTO Products (PLU) VALUES (3)"));
            inner.commit();
        }
        outer.commit();
    }
    EXPECT_EQ(count(), 2);
    EXPECT_EQ(scalar(QStringLiteral("SELECT group_concat(PLU) FROM Products")).toString(),
              QStringLiteral("1,3"));

    // A dataset's own transaction inside an importer's: rolling the outer one back
    // undoes both, and refresh brings the dataset back in line with the file.
    ProductsDataSet& p = db.products();
    p.refresh();
    {
        Transaction import(db.connection());
        p.removeRows({0, 1});
        p.append({{QStringLiteral("PLU"), 7}});
        EXPECT_EQ(count(), 1);
    }
    p.refresh();
    EXPECT_EQ(count(), 2);
    EXPECT_EQ(p.recordCount(), 2);
    EXPECT_EQ(p.value(1, ProductsDataSet::PLU).toInt(), 3);
}
