#include "export/exporttables.h"

#include "app/langtext.h"
#include "db/database.h"
#include "db/sqlitefile.h"
#include "export/documentexport.h"

#include "officereader.h"
#include "testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace dm {
namespace {

// A template database with a few goods and totals rows, opened.
class ExportTables : public ::testing::Test {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale::c());
        currentLanguageFile().clear();
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("Base.sqlite"));
        createTemplateDatabase(path);
        db.open(path);
        exec(QStringLiteral("INSERT INTO Products (PLU, RVTName, \"Type\", Price, Barcode) VALUES "
                            "(12, 'Milk', 'count', '1.20', '4600000000000'), "
                            "(3, 'Apples', 'weight', '2.50', NULL), "
                            "(7, 'Mint tea', 'count', '0.80', '')"));
        exec(QStringLiteral(
            "INSERT INTO Totals (Scales, IP, PLU, Name, \"Type\", DayWeight, DayNum, MonthWeight, "
            "MonthNum, \"Last\", \"Read\") VALUES "
            "('Front', '10.0.0.5', 12, 'Milk', 'count', 4, 4, 30, 30, "
            "'2016-01-27 14:05:09', '2016-01-28 09:00:00'), "
            "('miniSD', 'miniSD', 3, 'Apples', 'weight', 1.5, 2, 12.25, 9, "
            "'2016-01-26 10:00:00', NULL)"));
        db.products().refresh();
        db.totals().refresh();
    }
    void TearDown() override {
        db.close();
        QLocale::setDefault(QLocale::c());
    }
    void exec(const QString& sql) {
        QSqlQuery q(db.connection());
        ASSERT_TRUE(q.exec(sql)) << q.lastError().text().toStdString();
    }

    QTemporaryDir dir;
    QString path;
    Database db;
};

QStringList plus(const GoodsExportTable& t) {
    QStringList out;
    for (const auto& r : t.rows)
        out << (r.plu ? QString::number(*r.plu) : QStringLiteral("-"));
    return out;
}

TEST_F(ExportTables, GoodsAreTheRowsShownInTheirOrder) {
    ProductsDataSet& goods = db.products();
    const QStringList titles = goodsColumnTitles();
    EXPECT_EQ(titles,
              (QStringList{QStringLiteral("PLU"), QStringLiteral("Name"), QStringLiteral("Type"),
                           QStringLiteral("Price"), QStringLiteral("Barcode")}));

    GoodsExportTable t = goodsExportTable(goods, titles);
    EXPECT_EQ(plus(t),
              (QStringList{QStringLiteral("12"), QStringLiteral("3"), QStringLiteral("7")}));
    ASSERT_EQ(t.rows.size(), 3u);
    EXPECT_EQ(t.rows[0].name, QStringLiteral("Milk"));
    EXPECT_EQ(t.rows[0].type, QStringLiteral("count"));
    EXPECT_EQ(t.rows[0].price, QStringLiteral("1.20"));
    EXPECT_EQ(t.rows[0].barcode, QStringLiteral("4600000000000"));
    EXPECT_TRUE(t.rows[1].barcode.isEmpty()) << "a missing barcode is an empty cell";

    goods.setSortField(QStringLiteral("PLU"), Qt::DescendingOrder);
    goods.setFilter([](const QVariantList& rec) {
        return rec[ProductsDataSet::RVTName].toString().startsWith(u'M');
    });
    goods.setCurrentRow(1);
    t = goodsExportTable(goods, titles);
    EXPECT_EQ(plus(t), (QStringList{QStringLiteral("12"), QStringLiteral("7")}));

    QStringList opened;
    const DocumentOpener previous = setDocumentOpener([&](const QString& p) {
        opened << p;
        return true;
    });
    const QString doc = exportGoodsView(goods, titles);
    setDocumentOpener(previous);
    QDir(QFileInfo(doc).absolutePath()).removeRecursively();
    EXPECT_EQ(opened, QStringList{doc});
    EXPECT_EQ(goods.currentRow(), 1) << "the goods list keeps its current row";
}

TEST_F(ExportTables, TotalsAreTheRowsShownAndTheViewEndsOnItsLastRow) {
    TotalsDataSet& totals = db.totals();
    const QStringList titles = totalsColumnTitles();
    ASSERT_EQ(titles.size(), 10);
    EXPECT_EQ(titles[4], QStringLiteral("Day qty."));
    EXPECT_EQ(titles[9], QStringLiteral("Read at"));

    totals.setSortField(QStringLiteral("PLU"));
    TotalsExportTable t = totalsExportTable(totals, titles);
    ASSERT_EQ(t.rows.size(), 2u);
    const TotalsExportRow& apples = t.rows[0];
    EXPECT_EQ(apples.scales, QStringLiteral("miniSD"));
    EXPECT_EQ(apples.plu, 3);
    EXPECT_EQ(apples.name, QStringLiteral("Apples"));
    EXPECT_EQ(apples.dayWeight, 1.5);
    EXPECT_EQ(apples.dayNum, 2);
    EXPECT_EQ(apples.monthWeight, 12.25);
    EXPECT_EQ(apples.monthNum, 9);
    EXPECT_EQ(apples.last, QDateTime(QDate(2016, 1, 26), QTime(10, 0)));
    EXPECT_FALSE(apples.read.isValid());
    EXPECT_EQ(t.rows[1].plu, 12);

    totals.setFilter([](const QVariantList& rec) {
        return rec[TotalsDataSet::Scales] == QStringLiteral("Front");
    });
    totals.setCurrentRow(0);
    t = totalsExportTable(totals, titles);
    ASSERT_EQ(t.rows.size(), 1u);
    EXPECT_EQ(t.rows[0].scales, QStringLiteral("Front"));

    totals.clearFilter();
    totals.setCurrentRow(0);
    const DocumentOpener previous = setDocumentOpener([](const QString&) { return true; });
    const QString doc = exportTotalsView(totals, titles);
    setDocumentOpener(previous);
    QDir(QFileInfo(doc).absolutePath()).removeRecursively();
    EXPECT_EQ(totals.currentRow(), 1);
    EXPECT_EQ(totals.sortField(), QStringLiteral("PLU"));
}

// The command-line tool, as a separate process on a real database file.
struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun runTool(const QStringList& args) {
    QProcess p;
    p.start(test::stagedProgramFolder() + QStringLiteral("/dmctl"), args);
    ToolRun r;
    if (!p.waitForFinished(60000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

TEST_F(ExportTables, ToolWritesBothDocumentsWithTheLanguageTitles) {
    db.close();
    const QString docx = dir.filePath(QStringLiteral("goods.docx"));
    const QString xlsx = dir.filePath(QStringLiteral("totals.xlsx"));
    const QStringList common{QStringLiteral("--program-folder"),
                             test::stagedProgramFolder(),
                             QStringLiteral("--db"),
                             path,
                             QStringLiteral("--language"),
                             QStringLiteral("RUS")};

    ToolRun r = runTool(common + QStringList{QStringLiteral("export-goods"), docx});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const test::ZipContents goodsZip = test::readZip(test::contentsOf(docx));
    const test::DocxBody body =
        test::readDocxBody(goodsZip.entries.value(QStringLiteral("word/document.xml")));
    ASSERT_EQ(body.tables.size(), 1u);
    const auto& rows = body.tables[0].rows;
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0][1].text, QString::fromUtf8("Наименование"));
    EXPECT_EQ(rows[1][0].text, QStringLiteral("12")) << "natural order";
    EXPECT_EQ(rows[3][1].text, QStringLiteral("Mint tea"));

    r = runTool(common + QStringList{QStringLiteral("export-totals"), xlsx});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const test::ZipContents totalsZip = test::readZip(test::contentsOf(xlsx));
    const test::XlsxSheet sheet =
        test::readXlsxSheet(totalsZip.entries.value(QStringLiteral("xl/worksheets/sheet1.xml")),
                            totalsZip.entries.value(QStringLiteral("xl/sharedStrings.xml")));
    EXPECT_EQ(sheet.lastRow, 3);
    EXPECT_EQ(sheet.cells.value(QStringLiteral("A1")).value, QString::fromUtf8("Весы"));
    EXPECT_EQ(sheet.cells.value(QStringLiteral("B2")).value, QStringLiteral("12"));
    EXPECT_EQ(sheet.cells.value(QStringLiteral("E3")).value, QStringLiteral("1.5"));

    // A file that cannot be written fails; a missing file name is a usage error.
    r = runTool(common + QStringList{QStringLiteral("export-goods"),
                                     dir.filePath(QStringLiteral("missing/goods.docx"))});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("missing"))) << r.err.toStdString();
    EXPECT_EQ(runTool(common + QStringList{QStringLiteral("export-totals")}).exitCode, 2);
}

} // namespace
} // namespace dm
