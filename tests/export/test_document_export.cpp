#include "export/documentexport.h"

#include "app/errors.h"

#include "officereader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace dm {
namespace {

// Each export with an opener that records what it was given; the folders the exports
// leave for the user are removed at the end.
class DocumentExport : public ::testing::Test {
protected:
    void SetUp() override {
        previous = setDocumentOpener([this](const QString& path) {
            opened << path;
            return openResult;
        });
    }
    void TearDown() override {
        setDocumentOpener(previous);
        for (const QString& path : leftFolders)
            QDir(path).removeRecursively();
    }
    void leave(const QString& documentPath) {
        leftFolders << QFileInfo(documentPath).absolutePath();
    }

    DocumentOpener previous;
    QStringList opened;
    QStringList leftFolders;
    bool openResult = true;
};

const GoodsExportTable kGoods{{QStringLiteral("PLU")}, {{1, QStringLiteral("Milk"), {}, {}, {}}}};
const TotalsExportTable kTotals{{QStringLiteral("Scales")},
                                {{QStringLiteral("S"), 1, {}, {}, 1.5, 1, 1.5, 1, {}, {}}}};

TEST_F(DocumentExport, EachExportWritesIntoAFreshTemporaryFolderAndOpensTheFile) {
    const QString goods1 = exportGoodsDocument(kGoods);
    leave(goods1);
    const QString goods2 = exportGoodsDocument(kGoods);
    leave(goods2);
    const QString totals = exportTotalsWorkbook(kTotals);
    leave(totals);

    EXPECT_EQ(opened, (QStringList{goods1, goods2, totals}));
    EXPECT_TRUE(goods1.endsWith(QStringLiteral(".docx")));
    EXPECT_TRUE(totals.endsWith(QStringLiteral(".xlsx")));
    const QString temp = QDir(QDir::tempPath()).canonicalPath();
    QStringList folders;
    for (const QString& p : {goods1, goods2, totals}) {
        const QFileInfo fi(p);
        EXPECT_EQ(QFileInfo(fi.absolutePath()).dir().canonicalPath(), temp) << p.toStdString();
        folders << fi.absolutePath();
    }
    folders.removeDuplicates();
    EXPECT_EQ(folders.size(), 3) << "a new folder for every export";
    EXPECT_EQ(test::contentsOf(goods1), buildGoodsDocx(kGoods));
    EXPECT_TRUE(test::contentsOf(totals).startsWith("PK"));
}

TEST_F(DocumentExport, AFileNothingCanOpenIsReportedWithItsPath) {
    openResult = false;
    try {
        exportGoodsDocument(kGoods);
        FAIL() << "no error";
    } catch (const FileError& e) {
        ASSERT_EQ(opened.size(), 1);
        leave(opened.first());
        EXPECT_TRUE(e.text().contains(QDir::toNativeSeparators(opened.first())))
            << e.text().toStdString();
        // The document stays where it was written, so the user can still reach it.
        EXPECT_TRUE(QFileInfo::exists(opened.first()));
    }
}

TEST(SaveDocument, WritesTheBytesAndReportsAFailureWithThePath) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("goods.docx"));
    saveDocument(path, QByteArray("old"));
    saveDocument(path, QByteArray("new bytes"));
    EXPECT_EQ(test::contentsOf(path), QByteArray("new bytes"));

    const QString missing = dir.filePath(QStringLiteral("no such folder/goods.docx"));
    try {
        saveDocument(missing, QByteArray("x"));
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_TRUE(e.text().contains(QDir::toNativeSeparators(missing))) << e.text().toStdString();
    }
}

} // namespace
} // namespace dm
