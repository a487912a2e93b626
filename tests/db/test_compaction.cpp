#include "db/compaction.h"
#include "dbfixture.h"

#include <QFileInfo>

using namespace dm;
using namespace dm::test;

namespace {

// A database with many goods of which most were deleted again, closed.
class Compaction : public DbFixture {
protected:
    void SetUp() override {
        DbFixture::SetUp();
        {
            Transaction t(db.connection());
            for (int plu = 1; plu <= 3000; ++plu)
                exec(QStringLiteral("INSERT INTO Products (PLU, RVTName, Price) VALUES (?, ?, ?)"),
                     {plu, QString(30, QChar(u'a' + plu % 26)), QStringLiteral("1,00")});
            exec(QStringLiteral("DELETE FROM Products WHERE PLU % 10 <> 0"));
            t.commit();
        }
        db.close();
        before = folderEntries(dir.path());
        hash = fileHash(path);
    }

    QStringList before;
    QByteArray hash;
};

} // namespace

TEST_F(Compaction, KeepsEveryRowAndShrinksTheFile) {
    const qint64 size = QFileInfo(path).size();
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    QString error;
    ASSERT_TRUE(CompactDatabase(path, &error)) << error.toStdString();
    EXPECT_LT(QFileInfo(path).size(), size);
    EXPECT_EQ(folderEntries(dir.path()), before);
    const QFileDevice::Permissions ownerGroupOther(0x7077);
    EXPECT_EQ(QFileInfo(path).permissions() & ownerGroupOther,
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);

    db.open(path);
    ProductsDataSet& p = db.products();
    ASSERT_EQ(p.recordCount(), 300);
    for (int r = 0; r < 300; ++r)
        ASSERT_EQ(p.value(r, ProductsDataSet::PLU).toInt(), 10 * (r + 1));
    EXPECT_EQ(p.value(0, ProductsDataSet::RVTName).toString(), QString(30, u'k'));
    EXPECT_EQ(db.keys().recordCount(), 33);
    EXPECT_EQ(db.ticket().recordCount(), 8);
    // The auto numbers go on where they were, not from the rows that are left.
    p.append({{QStringLiteral("PLU"), 5000}});
    EXPECT_EQ(p.value(300, ProductsDataSet::ID).toInt(), 3001);
}

TEST_F(Compaction, AFailedRenameLeavesTheOriginalAndNoTemporaryFile) {
    QString seenFrom;
    QString error;
    const bool ok = detail::compactDatabase(
        path, &error, [&](const QString& from, const QString&, QString* why) {
            seenFrom = from;
            EXPECT_TRUE(QFileInfo::exists(from)); // the compacted copy is there by now
            *why = QStringLiteral("Permission denied");
            return false;
        });
    EXPECT_FALSE(ok);
    EXPECT_EQ(QFileInfo(seenFrom).absolutePath(), QFileInfo(path).absolutePath());
    EXPECT_TRUE(error.contains(QStringLiteral("Permission denied"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QDir::toNativeSeparators(path)));
    EXPECT_EQ(fileHash(path), hash);
    EXPECT_EQ(folderEntries(dir.path()), before);
}

TEST_F(Compaction, RefusesWhatIsNotADatabaseAndCreatesNothing) {
    const QString text = dir.filePath(QStringLiteral("notes.sqlite"));
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(5000, 'x'));
    }
    const QStringList entries = folderEntries(dir.path());
    const QByteArray textHash = fileHash(text);
    QString error;
    EXPECT_FALSE(CompactDatabase(text, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(fileHash(text), textHash);

    error.clear();
    EXPECT_FALSE(CompactDatabase(dir.filePath(QStringLiteral("missing.sqlite")), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(folderEntries(dir.path()), entries);
    EXPECT_EQ(fileHash(path), hash);
}

TEST(ReplaceFile, ReplacesAnExistingTarget) {
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a"));
    const QString b = dir.filePath(QStringLiteral("b"));
    for (const QString& p : {a, b}) {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(p.toUtf8());
    }
    QString error;
    ASSERT_TRUE(replaceFile(a, b, &error)) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(a));
    EXPECT_EQ(fileHash(b), QCryptographicHash::hash(a.toUtf8(), QCryptographicHash::Sha256));
    EXPECT_FALSE(replaceFile(a, b, &error));
    EXPECT_FALSE(error.isEmpty());
}
