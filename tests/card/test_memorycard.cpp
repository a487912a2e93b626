#include "app/messagepanelsize.h"
#include "app/notifier.h"
#include "comm/transfersink.h"
#include "db/datasets.h"
#include "editors/goodschecks.h"
#include "platform/removabledrives.h"
#include "scalefiles/memorycard.h"
#include "scalefiles/scalefileio.h"
#include "scalefiles/scalefilenames.h"

#include "scalefiletestdb.h"

#include <QDir>
#include <QRegularExpression>
#include <QSqlQuery>

using namespace dm;

namespace {

// Records every notice with its colour and every pause.
class RecordingSink final : public TransferSink, public TransferPauses {
public:
    void showMessage(const QStringList& lines, QRgb colour) override {
        log << lines.join(u' ') + (colour == panelcolour::Pink         ? QStringLiteral(" [pink]")
                                   : colour == panelcolour::MoneyGreen ? QStringLiteral(" [green]")
                                                                       : QStringLiteral(" [blue]"));
    }
    void showTroubleshooting(const QStringList&) override {}
    void hideMessage() override { log << QStringLiteral("hide"); }
    void showProgress() override {}
    void setProgressTotal(int) override {}
    void setProgressDone(int) override {}
    void hideProgress() override {}
    void pause(int ms) override { log << QStringLiteral("pause %1").arg(ms); }

    QStringList log;
};

class MemoryCardTest : public test::TemplateDbTest {
protected:
    void SetUp() override {
        TemplateDbTest::SetUp();
        exportDir = filePath(QStringLiteral("Export"));
        card = filePath(QStringLiteral("card"));
        QDir().mkpath(card);
        InstallGoodsChecks(db, notes);
    }
    MemoryCard memoryCard() { return MemoryCard(db, exportDir, sink, sink, notes); }
    QStringList cardFiles() const {
        auto names = QDir(card).entryList(QDir::Files);
        names.sort(Qt::CaseInsensitive);
        return names;
    }
    int count(const char* sql) {
        QSqlQuery q(db.connection());
        EXPECT_TRUE(q.exec(QString::fromLatin1(sql)) && q.next());
        return q.value(0).toInt();
    }

    QString exportDir, card;
    RecordingSink sink;
    CollectingNotifier notes;
};

TEST_F(MemoryCardTest, SaveWritesTheFourFilesWithItsMessagesAndPauses) {
    db.products().append({{QStringLiteral("PLU"), 7},
                          {QStringLiteral("RVTName"), QStringLiteral("Tea")},
                          {QStringLiteral("Type"), db.products().value(0, 3)},
                          {QStringLiteral("Price"), QStringLiteral("1.50")}});
    ASSERT_TRUE(memoryCard().SaveFilesToCard(card));
    EXPECT_EQ(cardFiles(),
              (QStringList{QStringLiteral("keyboard.dat"), QStringLiteral("products.dat"),
                           QStringLiteral("RVT.dat"), QStringLiteral("salesmen.dat")}));
    EXPECT_EQ(
        sink.log,
        (QStringList{QStringLiteral("Goods file making... [blue]"), QStringLiteral("pause 1000"),
                     QStringLiteral("Ticket file making... [blue]"), QStringLiteral("pause 1000"),
                     QStringLiteral("Keypad file making... [blue]"), QStringLiteral("pause 1000"),
                     QStringLiteral("Saving in progress... [blue]"),
                     QStringLiteral("Saving completed successfully [green]"),
                     QStringLiteral("pause 1500"), QStringLiteral("hide")}));

    // What was saved loads back.
    const int goods = count("SELECT COUNT(*) FROM Products");
    sink.log.clear();
    EXPECT_EQ(memoryCard().LoadFilesFromCard(card), QStringList());
    EXPECT_EQ(count("SELECT COUNT(*) FROM Products"), goods);
    EXPECT_FALSE(sink.log.join(u'\n').contains(QStringLiteral("[pink]")));
}

TEST_F(MemoryCardTest, FailedCopyToTheCardLeavesItsOldFileAndReportsTheFailure) {
    // The card's salesmen.dat is a folder here, so the third copy fails.
    ASSERT_TRUE(QDir(card).mkdir(QStringLiteral("salesmen.dat")));
    QFile old(QDir(card).filePath(QStringLiteral("PRODUCTS.DAT")));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    ScaleFiles files(db, exportDir);
    files.WriteGoodsFile();
    files.WriteTicketFile();
    files.WriteOperatorsFile();
    files.WriteKeypadFile();
    EXPECT_EQ(CopyFilesToCard(exportDir, card), 3);
    EXPECT_FALSE(QFileInfo::exists(QDir(card).filePath(QStringLiteral("keyboard.dat"))));
    // The differently spelt file was replaced, not duplicated.
    EXPECT_EQ(cardFiles(),
              (QStringList{QStringLiteral("PRODUCTS.DAT"), QStringLiteral("RVT.dat")}));

    EXPECT_FALSE(memoryCard().SaveFilesToCard(card));
    EXPECT_TRUE(sink.log.contains(QStringLiteral("Saving failed [pink]")));
}

TEST_F(MemoryCardTest, LoadOfACardWithOnlyGoodsImportsThemAndReportsTheOtherThree) {
    ASSERT_TRUE(QFile::copy(test::testDataDir() + QStringLiteral("/scalefiles/goods_plu1_ab.dat"),
                            QDir(card).filePath(QStringLiteral("Products.DAT"))));
    exec(QStringLiteral("DELETE FROM Products"));
    exec(QStringLiteral("INSERT INTO Products (ID, PLU, RVTName, Type, Price, Barcode) "
                        "VALUES (1, 99, 'Before', 'kg', '1.00', '')"));
    db.products().refresh();
    // A search that hides the goods held does not keep them.
    db.products().setFilter([](const QVariantList&) { return false; });
    const QStringList before = dump().filter(QRegularExpression(QStringLiteral("^(?!Products)")));

    EXPECT_EQ(memoryCard().LoadFilesFromCard(card),
              (QStringList{QStringLiteral("RVT.dat"), QStringLiteral("salesmen.dat"),
                           QStringLiteral("keyboard.dat")}));
    QSqlQuery q(db.connection());
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT PLU FROM Products")));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 1);
    EXPECT_FALSE(q.next());
    EXPECT_TRUE(notes.messages().isEmpty()) << notes.messages().join(u'\n').toStdString();
    EXPECT_EQ(dump().filter(QRegularExpression(QStringLiteral("^(?!Products)"))), before);
    EXPECT_EQ(sink.log,
              (QStringList{QStringLiteral("Reading in progress... [blue]"),
                           QStringLiteral("pause 1000"), QStringLiteral("Reading failed [pink]"),
                           QStringLiteral("pause 1000"), QStringLiteral("Reading failed [pink]"),
                           QStringLiteral("pause 1000"), QStringLiteral("Reading failed [pink]"),
                           QStringLiteral("pause 1000"), QStringLiteral("hide")}));
}

TEST_F(MemoryCardTest, TotalsFromACardCarryTheCardMarker) {
    // A card without totals reports the failure and adds nothing.
    EXPECT_FALSE(memoryCard().LoadTotalsFromCard(card));
    EXPECT_TRUE(sink.log.contains(QStringLiteral("Reading failed [pink]")));
    EXPECT_EQ(count("SELECT COUNT(*) FROM Totals"), 0);

    QFile golden(test::testDataDir() + QStringLiteral("/scalefiles/totals_examples.dat"));
    ASSERT_TRUE(golden.copy(QDir(card).filePath(QStringLiteral("SUMMARY.dat"))));
    sink.log.clear();
    ASSERT_TRUE(memoryCard().LoadTotalsFromCard(card));
    EXPECT_TRUE(sink.log.contains(QStringLiteral("Reading completed successfully [green]")));
    EXPECT_GT(count("SELECT COUNT(*) FROM Totals"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Totals WHERE Scales <> 'miniSD' OR IP <> 'miniSD'"), 0);
}

TEST(RemovableDrives, RemovableFlagMediaFoldersAndFloppies) {
    QTemporaryDir sys;
    ASSERT_TRUE(QDir(sys.path()).mkpath(QStringLiteral("sdb")));
    ASSERT_TRUE(QDir(sys.path()).mkpath(QStringLiteral("sda")));
    const auto flag = [&](const char* disk, const char* value) {
        QFile f(sys.path() + u'/' + QString::fromLatin1(disk) + QStringLiteral("/removable"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(value);
    };
    ASSERT_TRUE(QDir(sys.path()).mkpath(QStringLiteral("mmcblk0")));
    flag("sdb", "1\n");
    flag("mmcblk0", "1\n");
    flag("sda", "0\n");
    struct Case {
        const char* device;
        const char* root;
        bool card;
    } cases[] = {
        {"/dev/sdb1", "/mnt/x", true},       // partition of a removable disk
        {"/dev/mmcblk0p1", "/mnt/sd", true}, // a card in a built-in reader
        {"/dev/sda2", "/home", false},       // fixed disk
        {"/dev/sda2", "/media/u/USB", true}, // mounted by the desktop
        {"/dev/sdc1", "/run/media/u/SD", true},
        {"/dev/fd0", "/media/floppy", false},
        {"tmpfs", "/tmp", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsRemovableVolume(QString::fromLatin1(c.device), QString::fromLatin1(c.root),
                                    sys.path()),
                  c.card)
            << c.device << " " << c.root;
}

} // namespace
