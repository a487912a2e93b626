#include "app/errors.h"
#include "app/notifier.h"
#include "editors/goodschecks.h"
#include "scalefiles/goodsfile.h"
#include "scalefiles/scalefileio.h"
#include "scalefiles/scalefilenames.h"
#include "testsupport.h"

#include "scalefiletestdb.h"

#include <QDir>
#include <QThread>

using namespace dm;
using dm::test::readFile;
using dm::test::writeFile;

namespace {

QByteArray golden(const char* name) {
    QFile f(test::testDataDir() + QStringLiteral("/scalefiles/") + QString::fromLatin1(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return f.readAll();
}

QVariantMap goodsRow(int plu, const QString& name, const QString& type, const QString& price,
                     const QString& barcode = {}) {
    return {{QStringLiteral("PLU"), plu},
            {QStringLiteral("RVTName"), name},
            {QStringLiteral("Type"), type},
            {QStringLiteral("Price"), price},
            {QStringLiteral("Barcode"), barcode}};
}

class ScaleFilesTest : public test::TemplateDbTest {
protected:
    void SetUp() override {
        TemplateDbTest::SetUp();
        page.select(1049);
        exportDir = filePath(QStringLiteral("Export"));
        QDir().mkpath(exportDir);
        InstallGoodsChecks(db, gate);
    }

    ScaleFiles files() { return ScaleFiles(db, exportDir, page); }
    QString exported(ScaleFileKind kind) {
        return QDir(exportDir).filePath(CanonicalScaleFileName(kind));
    }
    void useRussian() {
        currentLanguageFile().open(test::stagedProgramFolder() + QStringLiteral("/Languages/RUS"));
        QLocale::setDefault(QLocale(QStringLiteral("ru_RU")));
    }
    void addKeypad(int id, const QString& name) {
        exec(QStringLiteral("INSERT INTO KeyPads (ID, Name) VALUES (%1, '%2')").arg(id).arg(name));
        for (int k = 1; k <= 33; ++k)
            exec(QStringLiteral("INSERT INTO Keys (ID, PLU) VALUES (%1, 0)").arg(id * 100 + k));
        db.keypads().refresh();
        db.keys().refresh();
    }
    QList<qlonglong> keypadPlus(int id) {
        QList<qlonglong> plus;
        for (int k = 1; k <= 33; ++k)
            plus << db.keys()
                        .lookup(QStringLiteral("ID"), id * 100 + k, QStringLiteral("PLU"))
                        .toLongLong();
        return plus;
    }

    ScaleCodePage page;
    QString exportDir;
    CollectingNotifier gate;
};

} // namespace

TEST_F(ScaleFilesTest, GoodsFileMatchesTheExamples) {
    db.products().append(
        goodsRow(1, QStringLiteral("AB"), QStringLiteral("weight"), QStringLiteral("12.34")));
    EXPECT_EQ(readFile(files().WriteGoodsFile()), golden("goods_plu1_ab.dat"));

    // Under the Russian language and locale: a Cyrillic name, the count word, 9999.99.
    db.products().remove(0);
    useRussian();
    db.products().append(goodsRow(258, QStringLiteral("Сыр"), QStringLiteral("штучный"),
                                  QStringLiteral("9999,99"), QStringLiteral("4600000000000")));
    EXPECT_TRUE(gate.messages().isEmpty()) << gate.messages().join(u'\n').toStdString();
    EXPECT_EQ(readFile(files().WriteGoodsFile()).toHex(' '),
              golden("goods_plu258_cyrillic.dat").toHex(' '));

    // An empty goods list gives an empty file.
    db.products().remove(0);
    EXPECT_EQ(readFile(files().WriteGoodsFile()).size(), 0);
}

TEST_F(ScaleFilesTest, GoodsFileFollowsTheListAndTheLanguage) {
    ProductsDataSet& goods = db.products();
    goods.append(goodsRow(1, QStringLiteral("A"), QStringLiteral("weight"), QStringLiteral("1")));
    goods.append(goodsRow(2, QStringLiteral("B"), QStringLiteral("count"), QStringLiteral("2")));
    goods.append(goodsRow(3, QStringLiteral("C"), QStringLiteral("весовой"), QStringLiteral("3")));
    goods.setSortField(QStringLiteral("PLU"), Qt::DescendingOrder);
    goods.setFilter([](const QVariantList& r) { return r[ProductsDataSet::PLU].toInt() != 2; });
    goods.setCurrentRow(1);

    const QByteArray bytes = readFile(files().WriteGoodsFile());
    ASSERT_EQ(bytes.size(), 2 * (53 + 1));
    EXPECT_EQ(uint8_t(bytes[0]), 3); // PLU 3 first, PLU 2 filtered out
    EXPECT_EQ(uint8_t(bytes[6]), 2); // another language's weight word is count
    EXPECT_EQ(uint8_t(bytes[54]), 1);
    EXPECT_EQ(uint8_t(bytes[54 + 6]), 0);
    EXPECT_EQ(goods.currentRow(), 1);
}

TEST_F(ScaleFilesTest, GoodsRoundTripUnderRussian) {
    useRussian();
    ProductsDataSet& goods = db.products();
    goods.append(goodsRow(5, QStringLiteral("Колбаса «Докторская»"), QStringLiteral("весовой"),
                          QStringLiteral("1 234,5"), QStringLiteral("4607001234567")));
    goods.append(
        goodsRow(6, QStringLiteral("Хлеб"), QStringLiteral("штучный"), QStringLiteral("45")));
    QList<QVariantList> before;
    for (int row = 0; row < goods.recordCount(); ++row)
        before << goods.record(row).mid(ProductsDataSet::PLU);
    files().WriteGoodsFile();

    CollectingNotifier notifier;
    const GoodsImportResult r = files().ReadGoodsFile(notifier);
    EXPECT_EQ(r.stored, 2);
    EXPECT_EQ(r.refused, 0);
    EXPECT_TRUE(notifier.messages().isEmpty()) << notifier.messages().join(u'\n').toStdString();
    ASSERT_EQ(goods.recordCount(), 2);
    for (int row = 0; row < goods.recordCount(); ++row)
        EXPECT_EQ(goods.record(row).mid(ProductsDataSet::PLU), before[row]) << row;
    EXPECT_EQ(goods.value(0, ProductsDataSet::Price).toString(),
              QStringLiteral("1\u00A0234,50\u00A0"));
}

TEST_F(ScaleFilesTest, GoodsImportDropsRefusedRowsAndReplacesTheListedGoods) {
    ProductsDataSet& goods = db.products();
    goods.append(
        goodsRow(40, QStringLiteral("Hidden"), QStringLiteral("weight"), QStringLiteral("1")));
    goods.append(
        goodsRow(41, QStringLiteral("Listed"), QStringLiteral("weight"), QStringLiteral("1")));
    goods.setFilter([](const QVariantList& r) { return r[ProductsDataSet::PLU].toInt() == 41; });

    GoodsFileItem noBarcodeFlag{44, true, 5, QStringLiteral("NoFlag"), QStringLiteral("99")};
    QByteArray flagged = EncodeGoodsRecord(noBarcodeFlag, page);
    flagged[7] = 0;
    const QByteArray file =
        EncodeGoodsRecord(
            {41, false, 100, QStringLiteral("New 41"), QStringLiteral("2000000000001")}, page) +
        EncodeGoodsRecord({40, false, 100, QStringLiteral("Clash"), {}}, page) + // hidden PLU stays
        EncodeGoodsRecord({41, false, 100, QStringLiteral("Twice"), {}}, page) + // second 41
        EncodeGoodsRecord({0, false, 100, QStringLiteral("Zero"), {}}, page) +   // skipped
        EncodeGoodsRecord({42, false, 1000000, QStringLiteral("Dear"), {}}, page) + // 10000.00
        EncodeGoodsRecord(
            {43, false, 1, QStringLiteral("Same code"), QStringLiteral("2000000000001")}, page) +
        EncodeGoodsRecord({100000000, false, 1, QStringLiteral("Big"), {}}, page) +
        EncodeGoodsRecord(
            {45, false, 7, QStringLiteral("A name longer than the thirty-two characters"), {}},
            page) +
        flagged;
    writeFile(exported(ScaleFileKind::Goods), file);

    CollectingNotifier notifier;
    const GoodsImportResult r = files().ReadGoodsFile(notifier);
    EXPECT_EQ(notifier.messages(),
              (QStringList{QStringLiteral("PLU exists: 40"), QStringLiteral("PLU exists: 41"),
                           QStringLiteral("Incorrect price: 10000.00"),
                           QStringLiteral("Barcode exists: 2000000000001"),
                           QStringLiteral("Incorrect PLU: 100000000")}));
    EXPECT_EQ(r.stored, 3);
    EXPECT_EQ(r.refused, 5);
    goods.clearFilter();
    QStringList names;
    for (int row = 0; row < goods.recordCount(); ++row)
        names << goods.value(row, ProductsDataSet::RVTName).toString();
    EXPECT_EQ(names, (QStringList{QStringLiteral("Hidden"), QStringLiteral("New 41"),
                                  QStringLiteral("A name longer than the thirty-tw"),
                                  QStringLiteral("NoFlag")}));
    ASSERT_TRUE(goods.locate(QStringLiteral("PLU"), 44));
    EXPECT_TRUE(goods.currentValue(QStringLiteral("Barcode")).toString().isEmpty());
    EXPECT_EQ(goods.currentValue(QStringLiteral("Type")).toString(), QStringLiteral("count"));
    EXPECT_EQ(goods.currentValue(QStringLiteral("Price")).toString(), QStringLiteral("0.05"));

    // A download replaces every goods row, the hidden ones too; an empty file empties.
    writeFile(exported(ScaleFileKind::Goods), QByteArray());
    EXPECT_EQ(files().ReadGoodsFile(notifier, GoodsReplace::AllGoods).stored, 0);
    EXPECT_EQ(goods.recordCount(), 0);
}

TEST_F(ScaleFilesTest, TicketOperatorsAndKeypadFilesMatchTheExamples) {
    for (int row = 0; row < db.ticket().recordCount(); ++row)
        db.ticket().post(row, {{QStringLiteral("Data"), QString()}});
    EXPECT_EQ(readFile(files().WriteTicketFile()), golden("rvt_empty.dat"));

    SalesmenDataSet& salesmen = db.salesmen();
    ASSERT_TRUE(salesmen.locate(QStringLiteral("ID"), 2));
    salesmen.post(salesmen.currentRow(), {{QStringLiteral("Password"), QStringLiteral("12")},
                                          {QStringLiteral("Name"), QStringLiteral("AB")}});
    ASSERT_TRUE(salesmen.locate(QStringLiteral("ID"), 3));
    salesmen.post(salesmen.currentRow(), {{QStringLiteral("Password"), QVariant()}});
    const QByteArray ops = readFile(files().WriteOperatorsFile());
    // Positions 0 and 1 come first; their records depend on the template's names.
    const qsizetype at2 = ops.indexOf(QByteArray::fromHex("02000000"));
    ASSERT_GE(at2, 0);
    EXPECT_EQ(ops.mid(at2, 16), golden("salesmen_pos2.dat"));
    // A missing password is written as the row's position.
    EXPECT_EQ(ops.mid(at2 + 16, 4), QByteArray::fromHex("03000000"));
    EXPECT_EQ(ops.mid(at2 + 16 + 6, 4), QByteArray::fromHex("0001330d"));

    addKeypad(2, QStringLiteral("Second"));
    ASSERT_TRUE(db.keys().locate(QStringLiteral("ID"), 205));
    db.keys().post(db.keys().currentRow(), {{QStringLiteral("PLU"), 258}});
    ASSERT_TRUE(db.keypads().locate(QStringLiteral("ID"), 2));
    const QByteArray keys = readFile(files().WriteKeypadFile());
    EXPECT_EQ(keys, golden("keyboard_key5_plu258.dat"));
    EXPECT_EQ(keys.mid(4 * 12, 12), QByteArray::fromHex("050000000600020100000000"));
    EXPECT_EQ(db.keypads().currentValue(QStringLiteral("ID")).toInt(), 2);
}

TEST_F(ScaleFilesTest, TicketAndOperatorsRoundTripUnderRussian) {
    useRussian();
    page.select(1049);
    QStringList lines;
    for (int row = 0; row < db.ticket().recordCount(); ++row) {
        lines << QStringLiteral("Строка %1 — «Весы»").arg(row + 1);
        db.ticket().post(row, {{QStringLiteral("Data"), lines.last()}});
    }
    SalesmenDataSet& salesmen = db.salesmen();
    for (int row = 0; row < salesmen.recordCount(); ++row)
        salesmen.post(row, {{QStringLiteral("Name"), QStringLiteral("Продавец %1").arg(row)},
                            {QStringLiteral("Password"), QString::number(1000 + row)}});
    files().WriteTicketFile();
    files().WriteOperatorsFile();
    const QStringList before = dump();

    for (int row = 0; row < db.ticket().recordCount(); ++row)
        db.ticket().post(row, {{QStringLiteral("Data"), QStringLiteral("x")}});
    for (int row = 0; row < salesmen.recordCount(); ++row)
        salesmen.post(row, {{QStringLiteral("Name"), QStringLiteral("y")},
                            {QStringLiteral("Password"), QStringLiteral("1")}});
    files().ReadTicketFile();
    EXPECT_EQ(files().ReadOperatorsFile(), 9);
    EXPECT_EQ(dump(), before);
    EXPECT_EQ(db.ticket().value(0, TicketDataSet::Data).toString(), lines.first());
}

TEST_F(ScaleFilesTest, OperatorRecordsWithoutARowAreSkipped) {
    const QStringList before = dump();
    writeFile(exported(ScaleFileKind::Operators),
              QByteArray::fromHex("09000000 0800 0001390d 0001410d" // ID 9: no such row
                                  "01000000 0800 0001370d 0001420d"));
    EXPECT_EQ(files().ReadOperatorsFile(), 1);
    ASSERT_TRUE(db.salesmen().locate(QStringLiteral("ID"), 1));
    EXPECT_EQ(db.salesmen().currentValue(QStringLiteral("Password")).toString(),
              QStringLiteral("7"));
    EXPECT_EQ(db.salesmen().currentValue(QStringLiteral("Name")).toString(), QStringLiteral("B"));
    EXPECT_EQ(dump().size(), before.size());
}

TEST_F(ScaleFilesTest, KeypadFileGoesToTheChosenKeypadOnly) {
    addKeypad(2, QStringLiteral("Second"));
    addKeypad(3, QStringLiteral("Third"));
    exec(QStringLiteral("INSERT INTO ScalesSettings (Name, IP, Keypad) VALUES "
                        "('Deli', '10.0.0.5', 'Third'), ('Bare', '10.0.0.6', ''), "
                        "('Gone', '10.0.0.7', 'Removed')"));
    db.scales().refresh();

    // 34 records: the surplus one never reaches keypad 2 or 3.
    QByteArray file;
    for (int k = 1; k <= 34; ++k)
        file += QByteArray::fromHex("000000000600") + QByteArray(1, char(k)) +
                QByteArray::fromHex("00000000 00").left(5);
    writeFile(filePath(QStringLiteral("Export/Keyboard.dat")), file);
    QList<qlonglong> expected;
    for (int k = 1; k <= 33; ++k)
        expected << k;
    const QList<qlonglong> untouched(33, 0);

    struct Case {
        QString source;
        QString cardKeypad;
        int keypad;
    };
    const Case cases[] = {
        {MemoryCardSource(), QStringLiteral("Second"), 2},
        {MemoryCardSource(), QString(), 1},
        {QStringLiteral("10.0.0.5"), QStringLiteral("Second"), 3}, // the scale's own keypad
        {QStringLiteral("10.0.0.6"), QString(), 1},                // names none
        {QStringLiteral("10.0.0.7"), QString(), 1},                // names a removed one
        {QStringLiteral("10.0.0.99"), QString(), 1},               // not in the list
    };
    for (const Case& c : cases) {
        for (int id : {1, 2, 3})
            exec(QStringLiteral("UPDATE Keys SET PLU = 0 WHERE ID / 100 = %1").arg(id));
        db.keys().refresh();
        EXPECT_EQ(files().ReadKeypadFile(c.source, c.cardKeypad), c.keypad)
            << c.source.toStdString();
        for (int id : {1, 2, 3})
            EXPECT_EQ(keypadPlus(id), id == c.keypad ? expected : untouched)
                << c.source.toStdString() << " keypad " << id;
    }
    EXPECT_THROW(files().ReadKeypadFile(MemoryCardSource(), QStringLiteral("Nope")), DataError);
    // Without a name the card's file goes to the keypad on the current row.
    ASSERT_TRUE(db.keypads().locate(QStringLiteral("Name"), QStringLiteral("Third")));
    EXPECT_EQ(files().ReadKeypadFile(MemoryCardSource()), 3);
}

TEST_F(ScaleFilesTest, KeypadRoundTrip) {
    addKeypad(2, QStringLiteral("Second"));
    for (int k = 1; k <= 33; k += 4)
        exec(QStringLiteral("UPDATE Keys SET PLU = %1 WHERE ID = %2")
                 .arg(k * 1000 + 7)
                 .arg(100 + k));
    db.keys().refresh();
    db.keypads().setCurrentRow(0);
    files().WriteKeypadFile();
    EXPECT_EQ(files().ReadKeypadFile(MemoryCardSource(), QStringLiteral("Second")), 2);
    EXPECT_EQ(keypadPlus(2), keypadPlus(1));
}

TEST_F(ScaleFilesTest, TotalsRecordsBecomeRows) {
    db.products().append(
        goodsRow(7, QStringLiteral("Сыр"), QStringLiteral("weight"), QStringLiteral("1")));
    exec(QStringLiteral("INSERT INTO ScalesSettings (Name, IP) VALUES ('Deli', '10.0.0.5')"));
    const QString path = filePath(QStringLiteral("summary.dat"));
    writeFile(path, golden("totals_examples.dat"));
    const QDateTime read(QDate(2024, 1, 2), QTime(3, 4, 5));

    EXPECT_EQ(files().ImportTotalsFile(MemoryCardSource(), path, read), 2);
    EXPECT_EQ(files().ImportTotalsFile(QStringLiteral("10.0.0.5"), path, read), 2);
    EXPECT_EQ(files().ImportTotalsFile(QStringLiteral("10.0.0.9"), path, read), 2);
    TotalsDataSet& totals = db.totals();
    ASSERT_EQ(totals.recordCount(), 6);
    using T = TotalsDataSet;
    EXPECT_EQ(totals.value(0, T::PLU).toInt(), 7);
    EXPECT_EQ(totals.value(0, T::Name).toString(), QStringLiteral("Сыр"));
    EXPECT_EQ(totals.value(0, T::Type).toString(), QStringLiteral("weight"));
    EXPECT_DOUBLE_EQ(totals.value(0, T::DayWeight).toDouble(), 1.5);
    EXPECT_EQ(totals.value(0, T::DayNum).toInt(), 3);
    EXPECT_DOUBLE_EQ(totals.value(0, T::MonthWeight).toDouble(), -0.001);
    EXPECT_EQ(totals.value(0, T::MonthNum).toInt(), 9);
    EXPECT_EQ(totals.value(0, T::Last).toDateTime(), QDateTime(QDate(2015, 6, 30), QTime(13, 0)));
    EXPECT_EQ(totals.value(0, T::Read).toDateTime(), read);
    EXPECT_EQ(totals.value(0, T::Scales).toString(), MemoryCardSource());
    EXPECT_EQ(totals.value(0, T::IP).toString(), MemoryCardSource());
    EXPECT_TRUE(totals.value(1, T::Name).toString().isEmpty()); // PLU 8 is not in the goods
    EXPECT_EQ(totals.value(1, T::Type).toString(), QStringLiteral("count"));
    EXPECT_DOUBLE_EQ(totals.value(1, T::DayWeight).toDouble(), -1);
    EXPECT_DOUBLE_EQ(totals.value(1, T::MonthWeight).toDouble(), 7);
    EXPECT_EQ(totals.value(2, T::Scales).toString(), QStringLiteral("Deli"));
    EXPECT_EQ(totals.value(2, T::IP).toString(), QStringLiteral("10.0.0.5"));
    EXPECT_TRUE(totals.value(4, T::Scales).toString().isEmpty());

    writeFile(path, QByteArray());
    EXPECT_EQ(files().ImportTotalsFile(MemoryCardSource(), path), 0);
}

namespace {

struct BrokenFile {
    const char* name;
    ScaleFileKind kind;
    QByteArray bytes;
    std::function<void(ScaleFiles&)> import;
    const char* message;
};

QByteArray withByte(QByteArray data, qsizetype at, char value) {
    data[at] = value;
    return data;
}

CollectingNotifier& brokenNotifier() {
    static CollectingNotifier n;
    return n;
}

class BrokenFiles : public ScaleFilesTest, public ::testing::WithParamInterface<BrokenFile> {};

} // namespace

// A file that cannot be read whole changes nothing at all.
TEST_P(BrokenFiles, LeaveTheDatabaseAsItWas) {
    db.products().append(
        goodsRow(3, QStringLiteral("Kept"), QStringLiteral("weight"), QStringLiteral("2")));
    exec(QStringLiteral("INSERT INTO Totals (Scales, IP, PLU) VALUES ('miniSD', 'miniSD', 3)"));
    const QStringList before = dump();
    QDir().mkpath(exportDir);
    writeFile(exported(GetParam().kind), GetParam().bytes);
    ScaleFiles f = files();
    try {
        GetParam().import(f);
        FAIL() << "accepted";
    } catch (const FileError& e) {
        EXPECT_TRUE(e.text().contains(QString::fromLatin1(GetParam().message)))
            << e.text().toStdString();
    }
    EXPECT_EQ(dump(), before);
    EXPECT_EQ(db.products().recordCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BrokenFiles,
    ::testing::Values(
        BrokenFile{"GoodsTruncated", ScaleFileKind::Goods,
                   golden("goods_plu1_ab.dat") + golden("goods_plu258_cyrillic.dat").left(60),
                   [](ScaleFiles& f) { f.ReadGoodsFile(brokenNotifier(), GoodsReplace::AllGoods); },
                   "products.dat: the file ends inside a record (record at byte 55)"},
        BrokenFile{"Totals27Bytes", ScaleFileKind::Totals, golden("totals_examples.dat").left(27),
                   [](ScaleFiles& f) { f.ImportTotalsFile(MemoryCardSource()); },
                   "Totals.dat: the file ends inside a record (record at byte 0)"},
        BrokenFile{"TotalsMonth0", ScaleFileKind::Totals,
                   withByte(golden("totals_examples.dat"), 28 + 25, 0),
                   [](ScaleFiles& f) { f.ImportTotalsFile(MemoryCardSource()); },
                   "record at byte 28"},
        BrokenFile{"TicketTruncated", ScaleFileKind::Ticket, golden("rvt_empty.dat").left(20),
                   [](ScaleFiles& f) { f.ReadTicketFile(); }, "RVT.dat"},
        BrokenFile{"OperatorsTruncated", ScaleFileKind::Operators,
                   golden("salesmen_pos2.dat") + golden("salesmen_pos2.dat").left(9),
                   [](ScaleFiles& f) { f.ReadOperatorsFile(); }, "record at byte 16"},
        BrokenFile{
            "KeypadTruncated", ScaleFileKind::Keypad, golden("keyboard_key5_plu258.dat").left(100),
            [](ScaleFiles& f) { f.ReadKeypadFile(MemoryCardSource()); }, "record at byte 96"},
        BrokenFile{"GoodsMissing", ScaleFileKind::Totals, QByteArray(),
                   [](ScaleFiles& f) { f.ReadGoodsFile(brokenNotifier()); }, "File not found"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScaleFilesTest, OneNamePerFileKindWhateverTheCase) {
    QDir().mkpath(exportDir);
    const QByteArray fresh = golden("goods_plu1_ab.dat");
    writeFile(filePath(QStringLiteral("Export/products.dat")), golden("goods_plu258_cyrillic.dat"));
    QFile stale(filePath(QStringLiteral("Export/products.dat")));
    ASSERT_TRUE(stale.open(QIODevice::ReadWrite));
    stale.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime);
    stale.close();
    writeFile(filePath(QStringLiteral("Export/Products.dat")), fresh); // as a download names it

    // The reader takes the file written last, whatever its spelling.
    EXPECT_EQ(FindScaleFile(exportDir, ScaleFileKind::Goods),
              filePath(QStringLiteral("Export/Products.dat")));
    CollectingNotifier notifier;
    EXPECT_EQ(files().ReadGoodsFile(notifier).stored, 1);
    EXPECT_EQ(db.products().value(0, ProductsDataSet::PLU).toInt(), 1);

    // A writer leaves exactly one spelling behind.
    files().WriteGoodsFile();
    EXPECT_EQ(QDir(exportDir).entryList({QStringLiteral("*.dat")}, QDir::Files, QDir::Name),
              QStringList{QStringLiteral("products.dat")});
    EXPECT_EQ(readFile(exported(ScaleFileKind::Goods)), fresh);

    writeFile(filePath(QStringLiteral("Export/salesmen.dat")), QByteArray());
    EXPECT_EQ(FindScaleFile(exportDir, ScaleFileKind::Operators),
              filePath(QStringLiteral("Export/salesmen.dat")));
    EXPECT_TRUE(FindScaleFile(exportDir, ScaleFileKind::Keypad).isEmpty());
}
