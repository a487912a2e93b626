#include "export/totalsxlsx.h"

#include "export/localedatetime.h"

#include "officereader.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace dm {
namespace {

using test::XlsxSheet;

const QStringList kTitles = test::totalsTitles();

const QDateTime kLast(QDate(2016, 1, 27), QTime(14, 5, 9));
const QDateTime kRead(QDate(2016, 2, 1), QTime(8, 0, 0));

struct Workbook {
    XlsxSheet sheet;
    QByteArray styles;
};

Workbook workbookOf(const TotalsExportTable& table) {
    const test::ZipContents zip = test::readZip(buildTotalsXlsx(table));
    EXPECT_TRUE(zip.error.isEmpty()) << zip.error.toStdString();
    const QByteArray workbook = zip.entries.value(QStringLiteral("xl/workbook.xml"));
    EXPECT_TRUE(workbook.contains("<sheet name=\"Sheet1\" sheetId=\"1\""));
    Workbook w{test::readXlsxSheet(zip.entries.value(QStringLiteral("xl/worksheets/sheet1.xml")),
                                   zip.entries.value(QStringLiteral("xl/sharedStrings.xml"))),
               zip.entries.value(QStringLiteral("xl/styles.xml"))};
    EXPECT_TRUE(w.sheet.error.isEmpty()) << w.sheet.error.toStdString();
    return w;
}

void expectString(const XlsxSheet& s, const QString& ref, const QString& text) {
    const auto it = s.cells.find(ref);
    ASSERT_NE(it, s.cells.end()) << ref.toStdString();
    EXPECT_EQ(it->type, QStringLiteral("s")) << ref.toStdString();
    EXPECT_EQ(it->value, text) << ref.toStdString();
}

void expectNumber(const XlsxSheet& s, const QString& ref, double value) {
    const auto it = s.cells.find(ref);
    ASSERT_NE(it, s.cells.end()) << ref.toStdString();
    EXPECT_EQ(it->type, QStringLiteral("n")) << ref.toStdString();
    EXPECT_DOUBLE_EQ(it->value.toDouble(), value) << ref.toStdString();
}

class TotalsXlsx : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale::c()); }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }
};

TEST_F(TotalsXlsx, TitleRowWidthsAndTheFontOfA1) {
    const Workbook w = workbookOf({kTitles, {}});
    EXPECT_EQ(w.sheet.lastRow, 1) << "no totals: the title row alone";
    for (int c = 0; c < 10; ++c)
        expectString(w.sheet, test::columnLetter(c) + u'1', kTitles[c]);
    EXPECT_EQ(w.sheet.cells.size(), 10);

    // The sheet stores a character width plus the cell padding (5 pixels of 7).
    const double widths[10] = {20, 10, 30, 10, 10, 10, 10, 10, 20, 20};
    for (int c = 0; c < 10; ++c) {
        ASSERT_TRUE(w.sheet.widths.contains(c + 1)) << "column " << c;
        EXPECT_NEAR(w.sheet.widths.value(c + 1), widths[c] + 5.0 / 7, 0.01) << "column " << c;
    }

    const auto a1 = test::xlsxCellFont(w.styles, w.sheet.cells.value(QStringLiteral("A1")).style);
    ASSERT_TRUE(a1.has_value());
    EXPECT_EQ(a1->name, QStringLiteral("Arial cur"));
    EXPECT_EQ(a1->size, 10);
    const auto b1 = test::xlsxCellFont(w.styles, w.sheet.cells.value(QStringLiteral("B1")).style);
    ASSERT_TRUE(b1.has_value());
    EXPECT_NE(b1->name, QStringLiteral("Arial cur")) << "only A1 takes the font";
}

TEST_F(TotalsXlsx, RowsKeepTheirOrderWithPluAsTextAndQuantitiesAsNumbers) {
    TotalsExportTable table{kTitles, {}};
    table.rows.push_back({QString::fromUtf8("Весы 1"), 123, QStringLiteral("A&B <c> \"d\""),
                          QStringLiteral("weight"), 1.5, 3, 10.25, 7, kLast, kRead});
    table.rows.push_back({QStringLiteral("miniSD"), 7, QString::fromUtf8("Хлеб"),
                          QStringLiteral("count"), 2, 2, 40, 40, kRead, kLast});
    // Nothing known but the PLU: the other cells stay empty.
    table.rows.push_back({{}, 99999999, {}, {}, {}, {}, {}, {}, {}, {}});
    const Workbook w = workbookOf(table);
    const XlsxSheet& s = w.sheet;
    EXPECT_EQ(s.lastRow, 4);

    expectString(s, QStringLiteral("A2"), QString::fromUtf8("Весы 1"));
    expectString(s, QStringLiteral("B2"), QStringLiteral("123"));
    expectString(s, QStringLiteral("C2"), QStringLiteral("A&B <c> \"d\""));
    expectString(s, QStringLiteral("D2"), QStringLiteral("weight"));
    expectNumber(s, QStringLiteral("E2"), 1.5);
    expectNumber(s, QStringLiteral("F2"), 3);
    expectNumber(s, QStringLiteral("G2"), 10.25);
    expectNumber(s, QStringLiteral("H2"), 7);
    expectString(s, QStringLiteral("I2"), QStringLiteral("27/01/2016 14:05:09"));
    expectString(s, QStringLiteral("J2"), QStringLiteral("01/02/2016 08:00:00"));

    expectString(s, QStringLiteral("A3"), QStringLiteral("miniSD"));
    expectString(s, QStringLiteral("B3"), QStringLiteral("7"));
    expectString(s, QStringLiteral("C3"), QString::fromUtf8("Хлеб"));
    expectNumber(s, QStringLiteral("G3"), 40);
    expectString(s, QStringLiteral("I3"), QStringLiteral("01/02/2016 08:00:00"));

    expectString(s, QStringLiteral("B4"), QStringLiteral("99999999"));
    for (const char* ref : {"A4", "C4", "D4", "E4", "F4", "G4", "H4", "I4", "J4"})
        EXPECT_FALSE(s.cells.contains(QString::fromLatin1(ref))) << ref;
}

// The date and time text follows the separators of the default locale.
struct LocaleCase {
    const char* locale;
    QChar date;
    QChar time;
    const char* text;
};
void PrintTo(const LocaleCase& c, std::ostream* os) {
    *os << c.locale;
}

class TotalsDateText : public TotalsXlsx, public ::testing::WithParamInterface<LocaleCase> {};

TEST_P(TotalsDateText, UsesTheLocaleSeparators) {
    const LocaleCase& c = GetParam();
    QLocale::setDefault(QLocale(QString::fromLatin1(c.locale)));
    EXPECT_EQ(dateSeparator(), c.date);
    EXPECT_EQ(timeSeparator(), c.time);
    EXPECT_EQ(dayMonthYearTimeText(kLast), QString::fromLatin1(c.text));

    TotalsExportTable table{kTitles, {}};
    table.rows.push_back({QStringLiteral("S"), 1, {}, {}, {}, {}, {}, {}, kLast, kLast});
    const Workbook w = workbookOf(table);
    expectString(w.sheet, QStringLiteral("I2"), QString::fromLatin1(c.text));
    expectString(w.sheet, QStringLiteral("J2"), QString::fromLatin1(c.text));
}

INSTANTIATE_TEST_SUITE_P(Locales, TotalsDateText,
                         ::testing::Values(
                             // "d MMM yyyy": no separator in the format, so the slash.
                             LocaleCase{"C", u'/', u':', "27/01/2016 14:05:09"},
                             LocaleCase{"ru_RU", u'.', u':', "27.01.2016 14:05:09"},
                             LocaleCase{"de_DE", u'.', u':', "27.01.2016 14:05:09"},
                             LocaleCase{"da_DK", u'.', u'.', "27.01.2016 14.05.09"},
                             LocaleCase{"sv_SE", u'-', u':', "27-01-2016 14:05:09"},
                             // "HH 'h' mm": the quoted h is a literal, not a separator.
                             LocaleCase{"fr_CA", u'-', u':', "27-01-2016 14:05:09"},
                             // Direction marks stand beside the slashes of "d/M/yyyy".
                             LocaleCase{"ar_EG", u'/', u':', "27/01/2016 14:05:09"}),
                         [](const auto& info) { return std::string(info.param.locale); });

TEST(LocaleDateTime, InvalidDateTimeGivesEmptyText) {
    EXPECT_TRUE(dayMonthYearTimeText(QDateTime()).isEmpty());
}

TEST_F(TotalsXlsx, NonFiniteQuantitiesGiveEmptyCells) {
    TotalsExportTable table{kTitles, {}};
    table.rows.push_back({QStringLiteral("S"),
                          1,
                          {},
                          {},
                          std::numeric_limits<double>::infinity(),
                          {},
                          std::numeric_limits<double>::quiet_NaN(),
                          {},
                          {},
                          {}});
    const Workbook w = workbookOf(table);
    EXPECT_FALSE(w.sheet.cells.contains(QStringLiteral("E2")));
    EXPECT_FALSE(w.sheet.cells.contains(QStringLiteral("G2")));
}

} // namespace
} // namespace dm
