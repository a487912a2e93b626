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
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

namespace dm {
namespace {

struct ProcessRun {
    bool finished = false;
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

ProcessRun run(const QString& program, const QStringList& args, int timeoutMs = 180000) {
    QProcess p;
    p.start(program, args);
    ProcessRun r;
    r.finished = p.waitForFinished(timeoutMs);
    if (!r.finished)
        p.kill();
    p.waitForFinished();
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
        const ProcessRun r = run(office, {QStringLiteral("--headless"),
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

// A table as the PDF shows it, rebuilt from the word boxes: the header words give the
// columns' left edges, the name column (wide enough never to wrap here) the rows' tops,
// and every word joins the cell it lies in. A narrow column wraps a word over two lines,
// so cell texts are compared without blanks.
struct PdfWord {
    double x = 0;
    double y = 0;
    QString text;
};

struct PdfTable {
    std::vector<double> columns; // left edges
    std::vector<QStringList> rows;
};

PdfTable pdfTable(const QByteArray& bboxXhtml, int columnCount) {
    std::vector<PdfWord> words;
    QXmlStreamReader x(bboxXhtml);
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement() && x.name() == u"word") {
            const auto a = x.attributes();
            words.push_back({a.value(QLatin1StringView("xMin")).toDouble(),
                             a.value(QLatin1StringView("yMin")).toDouble(), x.readElementText()});
        }
    }
    std::sort(words.begin(), words.end(), [](const PdfWord& a, const PdfWord& b) {
        return std::abs(a.y - b.y) > 1 ? a.y < b.y : a.x < b.x;
    });
    PdfTable t;
    if (words.empty())
        return t;
    const double headerY = words.front().y;
    for (const PdfWord& w : words)
        if (std::abs(w.y - headerY) <= 1)
            t.columns.push_back(w.x);
    if (int(t.columns.size()) != columnCount)
        return t;
    const auto columnOf = [&](double wx) {
        int c = 0;
        while (c + 1 < columnCount && t.columns[size_t(c) + 1] <= wx + 0.5)
            ++c;
        return c;
    };
    std::vector<double> rowTops;
    for (const PdfWord& w : words)
        if (columnOf(w.x) == 1 && (rowTops.empty() || w.y - rowTops.back() > 1))
            rowTops.push_back(w.y);
    t.rows.assign(rowTops.size(), QStringList(columnCount, QString()));
    for (const PdfWord& w : words) {
        size_t r = 0;
        while (r + 1 < rowTops.size() && rowTops[r + 1] <= w.y + 1)
            ++r;
        t.rows[r][columnOf(w.x)] += w.text;
    }
    return t;
}

QString withoutBlanks(QString s) {
    s.remove(QRegularExpression(QStringLiteral("\\s")));
    return s;
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

    const ProcessRun text =
        run(pdftotext, {QStringLiteral("-bbox-layout"), pdf, QStringLiteral("-")});
    ASSERT_EQ(text.exitCode, 0) << text.err.toStdString();
    const PdfTable shown = pdfTable(text.out, 5);
    ASSERT_EQ(shown.columns.size(), 5u) << text.out.toStdString();
    std::vector<QStringList> expected{table.titles};
    for (const GoodsExportRow& g : table.rows)
        expected.push_back({QString::number(*g.plu), g.name, g.type, g.price, g.barcode});
    for (QStringList& row : expected)
        for (QString& cell : row)
            cell = withoutBlanks(cell);
    EXPECT_EQ(shown.rows, expected) << text.out.toStdString();
    // The columns start 60, 230, 40 and 60 points apart, as the table was laid out.
    const double steps[4] = {60, 230, 40, 60};
    for (size_t c = 0; c < 4; ++c)
        EXPECT_NEAR(shown.columns[c + 1] - shown.columns[c], steps[c], 1.0) << "column " << c;

    // The table's text is set in a bold italic face.
    const ProcessRun fonts = run(pdffonts, {pdf});
    ASSERT_EQ(fonts.exitCode, 0) << fonts.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(fonts.out).contains(QRegularExpression(
        QStringLiteral("Bold[-_ ]?(Italic|Oblique)"), QRegularExpression::CaseInsensitiveOption)))
        << fonts.out.toStdString();
}

TEST_F(OfficeSuite, TotalsWorkbookGivesTheValues) {
    const QStringList titles = test::totalsTitles();
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
