// The exported documents opened by a real office suite: LibreOffice converts the goods
// document to PDF and the workbook to CSV, and the texts are read back from those.
// Needs libreoffice and poppler-utils (scripts/deps.sh); label "libreoffice".
// With DM_EXPORT_KEEP=DIR the documents and their conversions are copied to DIR.
#include "export/goodsdocx.h"
#include "export/totalsxlsx.h"

#include "officereader.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace dm {
namespace {

struct Run {
    bool finished = false;
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run run(const QString& program, const QStringList& args, int timeoutMs = 180000) {
    QProcess p;
    p.start(program, args);
    Run r;
    r.finished = p.waitForFinished(timeoutMs);
    if (!r.finished)
        p.kill(), p.waitForFinished();
    r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

class OfficeSuite : public ::testing::Test {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale::c());
        office = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
        pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        pdffonts = QStandardPaths::findExecutable(QStringLiteral("pdffonts"));
        if (office.isEmpty())
            GTEST_SKIP() << "libreoffice is not installed (scripts/deps.sh installs "
                            "libreoffice-writer-nogui and libreoffice-calc-nogui)";
        if (pdftotext.isEmpty() || pdffonts.isEmpty())
            GTEST_SKIP() << "pdftotext/pdffonts are not installed (poppler-utils)";
        ASSERT_TRUE(dir.isValid());
    }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }

    // Converts file in the scratch folder; returns the converted file's path.
    QString convert(const QString& file, const QString& filter, const QString& extension) {
        const QString profile =
            QUrl::fromLocalFile(dir.filePath(QStringLiteral("profile"))).toString();
        const Run r = run(office, {QStringLiteral("--headless"),
                                   QStringLiteral("-env:UserInstallation=") + profile,
                                   QStringLiteral("--convert-to"), filter,
                                   QStringLiteral("--outdir"), dir.path(), file});
        EXPECT_TRUE(r.finished) << "libreoffice did not finish";
        const QString out = dir.filePath(QFileInfo(file).completeBaseName() + u'.' + extension);
        EXPECT_TRUE(QFileInfo::exists(out))
            << "no " << out.toStdString() << ": " << r.out.toStdString() << r.err.toStdString();
        keep(file);
        keep(out);
        return out;
    }

    void keep(const QString& file) {
        const QString target = qEnvironmentVariable("DM_EXPORT_KEEP");
        if (target.isEmpty())
            return;
        QDir().mkpath(target);
        const QString to = QDir(target).filePath(QFileInfo(file).fileName());
        QFile::remove(to);
        QFile::copy(file, to);
    }

    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        return path;
    }

    QString office, pdftotext, pdffonts;
    QTemporaryDir dir;
};

// The cells of one line of the PDF text, in order, separated by at least one blank.
void expectLine(const QString& text, const QStringList& cells) {
    QStringList escaped;
    for (const QString& c : cells)
        escaped << QRegularExpression::escape(c);
    const QRegularExpression line(QStringLiteral("(^|\\n)\\s*") +
                                  escaped.join(QStringLiteral("\\s+")) +
                                  QStringLiteral("\\s*(\\n|$)"));
    EXPECT_TRUE(line.match(text).hasMatch())
        << "no line " << cells.join(u'|').toStdString() << " in:\n"
        << text.toStdString();
}

TEST_F(OfficeSuite, GoodsDocumentPrintsTheTable) {
    const GoodsExportTable table{
        {QStringLiteral("PLU"), QStringLiteral("Name"), QStringLiteral("Type"),
         QStringLiteral("Price"), QStringLiteral("Barcode")},
        {{1, QStringLiteral("Milk 3.2%"), QStringLiteral("count"), QStringLiteral("1.20"),
          QStringLiteral("4600000000000")},
         {25, QString::fromUtf8("Хлеб ржаной"), QStringLiteral("weight"), QStringLiteral("45.00"),
          QString()},
         {300, QStringLiteral("Fish & <chips>"), QStringLiteral("count"), QStringLiteral("3.75"),
          QStringLiteral("2000000000008")},
         {99999999, QStringLiteral("Cheese \"Gouda\""), QStringLiteral("weight"),
          QStringLiteral("12.90"), QStringLiteral("4820000000001")}}};
    const QString docx = write(QStringLiteral("goods.docx"), buildGoodsDocx(table));
    const QString pdf = convert(docx, QStringLiteral("pdf"), QStringLiteral("pdf"));

    const Run text = run(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_EQ(text.exitCode, 0) << text.err.toStdString();
    const QString page = QString::fromUtf8(text.out);
    expectLine(page, table.titles);
    for (const GoodsExportRow& r : table.rows) {
        QStringList cells{QString::number(*r.plu), r.name, r.type, r.price};
        if (!r.barcode.isEmpty())
            cells << r.barcode;
        expectLine(page, cells);
    }

    // The table's text is set in a bold italic face.
    const Run fonts = run(pdffonts, {pdf});
    ASSERT_EQ(fonts.exitCode, 0) << fonts.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(fonts.out).contains(QRegularExpression(
        QStringLiteral("Bold[-_ ]?(Italic|Oblique)"), QRegularExpression::CaseInsensitiveOption)))
        << fonts.out.toStdString();
}

TEST_F(OfficeSuite, TotalsWorkbookGivesTheValues) {
    const QStringList titles{QStringLiteral("Scales"),
                             QStringLiteral("PLU"),
                             QStringLiteral("Name"),
                             QStringLiteral("Type"),
                             QStringLiteral("Day qty."),
                             QStringLiteral("Day transactions"),
                             QStringLiteral("Month qty."),
                             QStringLiteral("Month transactions"),
                             QStringLiteral("Last transaction"),
                             QStringLiteral("Read at")};
    const QDateTime last(QDate(2016, 1, 27), QTime(14, 5, 9));
    const QDateTime read(QDate(2016, 2, 1), QTime(8, 0, 0));
    TotalsExportTable table{titles, {}};
    table.rows.push_back({QStringLiteral("Front"), 123, QString::fromUtf8("Хлеб"),
                          QStringLiteral("weight"), 1.5, 3, 10.25, 7, last, read});
    table.rows.push_back({QStringLiteral("miniSD"),
                          7,
                          QStringLiteral("A, \"B\""),
                          QStringLiteral("count"),
                          2,
                          2,
                          40,
                          40,
                          last,
                          {}});
    QLocale::setDefault(QLocale(QStringLiteral("ru_RU")));
    const QString xlsx = write(QStringLiteral("totals.xlsx"), buildTotalsXlsx(table));

    // Comma separated, double quotes, UTF-8.
    const QString csv = convert(xlsx, QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76"),
                                QStringLiteral("csv"));
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << lines.join(u'\n').toStdString();
    EXPECT_EQ(lines[0].trimmed(), titles.join(u','));
    EXPECT_EQ(lines[1].trimmed(), QString::fromUtf8("Front,123,Хлеб,weight,1.5,3,10.25,7,"
                                                    "27.01.2016 14:05:09,01.02.2016 08:00:00"));
    EXPECT_EQ(lines[2].trimmed(), QStringLiteral("miniSD,7,\"A, \"\"B\"\"\",count,2,2,40,40,"
                                                 "27.01.2016 14:05:09,"));
}

} // namespace
} // namespace dm
