#include "ticketimage.h"

#include "app/errors.h"
#include "editors/ticketdraw.h"
#include "editors/ticketreduce.h"
#include "testsupport.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace dm;
using namespace dm::test;
using namespace Qt::StringLiterals;

namespace {

using Band = std::pair<int, int>;

QString englishFonts() {
    return stagedProgramFolder() + QStringLiteral("/Languages/ENG");
}

class TicketDrawTest : public ::testing::Test {
protected:
    void SetUp() override { page.select(1049); }

    TicketEnvironment env(const QLocale& locale = QLocale::c()) {
        return TicketEnvironment{fonts,
                                 page,
                                 TicketTexts::fromLanguage(),
                                 locale,
                                 QDateTime(QDate(2024, 3, 7), QTime(9, 5, 2)),
                                 600};
    }

    // All eight lines and three named operators, the second of them shown.
    static TicketData fullData() {
        TicketData d;
        d.lines = {u"SHOP"_s,         u"Fresh Market"_s, u"12 High Street"_s, u"Springfield"_s,
                   u"Tel 555-0100"_s, u"Thank you"_s,    u"Come again"_s,     u"Open 8-20"_s};
        d.operatorNames = {u"Ann"_s, u"Bob"_s, u"Eve"_s};
        d.operatorName = u"Bob"_s;
        d.goods = TicketGoods{7, u"Apples"_s, u"weight"_s, u"100.00"_s, QString()};
        return d;
    }

    QString left(const QImage& img, int font, int column, int row, int cells,
                 int clipRight = 1 << 30) {
        return readLeft(img, fonts.font(font), page, column, row, cells, clipRight);
    }
    QString right(const QImage& img, int font, int endColumn, int row, int cells) {
        return readRight(img, fonts.font(font), page, endColumn, row, cells);
    }

    TicketFonts fonts{englishFonts()};
    ScaleCodePage page;
};

// A text line of font 5 is 24 rows tall, font 6 32, font 9 40, font 10 48; a rule of
// pen 3 covers the three rows around its line.
struct LayoutCase {
    const char* name;
    friend void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }
    std::vector<int> emptyLines; // ticket lines 1 to 8 left empty
    bool withOperator;
    std::vector<Band> bands; // rows with ink, top to bottom, above the tear-off edge
    int tearOff;
};

class TicketLayoutTest : public TicketDrawTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(TicketLayoutTest, LinesTakeTheirRowsAndEmptyOnesNone) {
    const LayoutCase& c = GetParam();
    TicketData d = fullData();
    for (int n : c.emptyLines)
        d.lines[static_cast<size_t>(n - 1)].clear();
    if (!c.withOperator)
        d.operatorName.clear();
    const QImage img = DrawTicketCanvas(d, env());
    ASSERT_EQ(img.size(), QSize(432, 600));

    // Every expected band holds ink, and no ink lies outside them.
    const QList<Band> found = inkBands(img, 0, img.height());
    for (const Band& b : c.bands)
        EXPECT_TRUE(hasInk(img, QRect(0, b.first, 432, b.second - b.first)))
            << "no ink in rows " << b.first << " to " << b.second;
    for (const Band& f : found) {
        const bool inside = std::any_of(c.bands.begin(), c.bands.end(), [&](const Band& b) {
            return f.first >= b.first && f.second <= b.second;
        });
        EXPECT_TRUE(inside) << "ink in rows " << f.first << " to " << f.second;
    }

    // The tear-off edge: silver teeth from y down to y + 10, nothing below them.
    EXPECT_EQ(img.pixel(0, c.tearOff), qRgb(192, 192, 192));
    EXPECT_EQ(img.pixel(10, c.tearOff + 10), qRgb(192, 192, 192));
    EXPECT_EQ(img.pixel(20, c.tearOff), qRgb(192, 192, 192));
    EXPECT_EQ(img.pixel(10, c.tearOff), qRgb(255, 255, 255));
    for (int y = c.tearOff + 13; y < img.height(); ++y)
        for (int x = 0; x < 432; x += 3)
            ASSERT_EQ(img.pixel(x, y), qRgb(255, 255, 255)) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(
    Ticket, TicketLayoutTest,
    ::testing::Values(
        // R = 19 after the headers: number line 20, rules 24 and 33, name 25, quantity 29,
        // total 34, model line 41, operator 45, information 49, 52, 55, edge at 472.
        LayoutCase{"AllLines",
                   {},
                   true,
                   {{0, 40},
                    {48, 80},
                    {80, 104},
                    {104, 128},
                    {128, 152},
                    {160, 184},
                    {190, 195},
                    {200, 224},
                    {232, 256},
                    {262, 267},
                    {272, 320},
                    {328, 352},
                    {360, 384},
                    {392, 416},
                    {416, 440},
                    {440, 464}},
                   472},
        // Headers 2 and 4 and information 2 empty, no operator: R = 12 after the headers.
        LayoutCase{"EmptyLinesMoveUp",
                   {2, 4, 7},
                   false,
                   {{0, 40},
                    {48, 72},
                    {72, 96},
                    {104, 128},
                    {134, 139},
                    {144, 168},
                    {176, 200},
                    {206, 211},
                    {216, 264},
                    {272, 296},
                    {304, 328},
                    {328, 352}},
                   360},
        // Nothing but the fixed lines.
        LayoutCase{"NoLines",
                   {1, 2, 3, 4, 5, 6, 7, 8},
                   false,
                   {{8, 32}, {38, 43}, {48, 72}, {80, 104}, {110, 115}, {120, 168}, {176, 200}},
                   216}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TicketDrawTest, WorkedExampleTexts) {
    const QImage img = DrawTicketCanvas(fullData(), env());
    EXPECT_EQ(left(img, 9, 2, 0, 16), u"SHOP"_s);
    EXPECT_EQ(left(img, 6, 2, 6, 25), u"Fresh Market"_s);
    EXPECT_EQ(left(img, 5, 2, 20, 16), u"2# 123"_s);
    EXPECT_EQ(left(img, 5, 26, 20, 18), u"07/03/24 09:05:02"_s);
    EXPECT_EQ(left(img, 5, 2, 25, 36), u"Apples"_s);
    EXPECT_EQ(right(img, 5, 20, 29, 13), u"100.00"_s);
    EXPECT_EQ(left(img, 10, 2, 34, 5), u"TOTAL"_s);
    EXPECT_EQ(left(img, 5, 2, 41, 36), u"QEL# 030708000178"_s);
    EXPECT_EQ(left(img, 5, 2, 45, 32), u"Bob"_s);
    EXPECT_EQ(left(img, 5, 2, 55, 32), u"Open 8-20"_s);
}

struct GoodsCase {
    const char* name;
    friend void PrintTo(const GoodsCase& c, std::ostream* os) { *os << c.name; }
    std::optional<TicketGoods> goods;
    const char* locale;
    QString quantity, unit, price, amount, total;
};

class TicketGoodsTest : public TicketDrawTest, public ::testing::WithParamInterface<GoodsCase> {};

TEST_P(TicketGoodsTest, QuantityUnitAndAmounts) {
    const GoodsCase& c = GetParam();
    TicketData d = fullData();
    d.goods = c.goods;
    const QImage img = DrawTicketCanvas(d, env(QLocale(QString::fromLatin1(c.locale))));
    // Fields of a row are read only as far as the next field begins.
    EXPECT_EQ(right(img, 5, 34, 29, 6), c.quantity);
    // The amount's field is cleared from x = 304, over the end of a three-letter unit.
    EXPECT_EQ(left(img, 5, 34, 29, 3, 304), c.unit);
    EXPECT_FALSE(hasInk(img, QRect(304, 232, 4, 24)));
    EXPECT_EQ(left(img, 5, 22, 29, 2), u"x"_s);
    EXPECT_EQ(right(img, 5, 20, 29, 13), c.price);
    EXPECT_EQ(right(img, 5, 51, 29, 8), c.amount);
    EXPECT_EQ(right(img, 10, 51, 34, 8), c.total);
}

INSTANTIATE_TEST_SUITE_P(
    Ticket, TicketGoodsTest,
    ::testing::Values(
        GoodsCase{"CountItem", TicketGoods{1, u"Buns"_s, u"count"_s, u"12.50"_s, {}}, "C", u"5"_s,
                  u"pcs"_s, u"12.50"_s, u"=62.50"_s, u"62.50"_s},
        GoodsCase{"WeightItem", TicketGoods{2, u"Cheese"_s, u"weight"_s, u"100"_s, {}}, "C",
                  u"1.540"_s, u"kg"_s, u"100.00"_s, u"=154.00"_s, u"154.00"_s},
        // Any type word but the count word is sold by weight.
        GoodsCase{"OtherTypeWord", TicketGoods{3, u"Tea"_s, u"Count"_s, u"10"_s, {}}, "C",
                  u"1.540"_s, u"kg"_s, u"10.00"_s, u"=15.40"_s, u"15.40"_s},
        GoodsCase{"EmptyGoodsList", std::nullopt, "C", u"1.540"_s, u"kg"_s, u"0.00"_s, u"=0.00"_s,
                  u"0.00"_s},
        GoodsCase{"MissingPriceCount", TicketGoods{4, u"Eggs"_s, u"count"_s, {}, {}}, "C", u"5"_s,
                  u"pcs"_s, u"0.00"_s, u"=0.00"_s, u"0.00"_s},
        GoodsCase{"MissingPriceWeight", TicketGoods{5, u"Rice"_s, u"weight"_s, {}, {}}, "C",
                  u"1.540"_s, u"kg"_s, u"0.00"_s, u"=0.00"_s, u"0.00"_s},
        // A stored price in a decimal-comma locale, with its group separator and the
        // space where the currency symbol stands.
        GoodsCase{
            "CommaLocale",
            TicketGoods{6, u"Ham"_s, u"count"_s, QString::fromUtf8("1\u00a0234,50\u00a0"), {}},
            "ru_RU", u"5"_s, u"pcs"_s, u"1234,50"_s, u"=6172,50"_s, u"6172,50"_s}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TicketDrawTest, PriceThatIsNoNumberFailsTheDrawing) {
    TicketData d = fullData();
    d.goods->price = u"twelve"_s;
    EXPECT_THROW(DrawTicketCanvas(d, env()), DataError);
}

struct OperatorCase {
    const char* name;
    friend void PrintTo(const OperatorCase& c, std::ostream* os) { *os << c.name; }
    std::array<QString, 8> names;
    QString shown;
    QString numberLine;
    QString row45; // the operator name, or the first information line moved up
};

class TicketOperatorTest : public TicketDrawTest,
                           public ::testing::WithParamInterface<OperatorCase> {};

TEST_P(TicketOperatorTest, NumberLineAndNameLine) {
    const OperatorCase& c = GetParam();
    TicketData d = fullData();
    d.operatorNames = c.names;
    d.operatorName = c.shown;
    const QImage img = DrawTicketCanvas(d, env());
    EXPECT_EQ(left(img, 5, 2, 20, 16), c.numberLine);
    EXPECT_EQ(left(img, 5, 2, 45, 32), c.row45);
}

INSTANTIATE_TEST_SUITE_P(
    Ticket, TicketOperatorTest,
    ::testing::Values(OperatorCase{"None", {u"Ann"_s}, {}, u"A# 123"_s, u"Thank you"_s},
                      OperatorCase{
                          "Third", {u"Ann"_s, u"Bob"_s, u"Eve"_s}, u"Eve"_s, u"3# 123"_s, u"Eve"_s},
                      // Of two operators with the name, the later number is the one that stays.
                      OperatorCase{"SameNameTwice",
                                   {u"Ann"_s, u"Bob"_s, u"Eve"_s, {}, u"Bob"_s},
                                   u"Bob"_s,
                                   u"5# 123"_s,
                                   u"Bob"_s},
                      // A name that no operator carries: no number line, but the name is printed.
                      OperatorCase{"Unknown", {u"Ann"_s}, u"Zed"_s, {}, u"Zed"_s}),
    [](const auto& info) { return std::string(info.param.name); });

// Where the right-aligned amount in the large font ends, and where the page is clear.
TEST_F(TicketDrawTest, RightAlignedTotalEnds) {
    const QImage ticket = DrawTicketCanvas(fullData(), env());
    EXPECT_TRUE(hasInk(ticket, QRect(384, 272, 24, 48)));
    EXPECT_FALSE(hasInk(ticket, QRect(408, 272, 24, 48)));

    const QImage sample = DrawSampleTicketCanvas(env());
    EXPECT_TRUE(hasInk(sample, QRect(392, 288, 24, 48)));
    EXPECT_FALSE(hasInk(sample, QRect(416, 288, 16, 48)));
}

TEST_F(TicketDrawTest, TextBeyondItsFieldIsDrawnToTheBorder) {
    TicketData d = fullData();
    d.lines[1] = QString(25, u'-') + u'W';
    const QImage img = DrawTicketCanvas(d, env());
    // Font 6 cells are 16 wide: the 26th glyph covers x = 416 to 432.
    EXPECT_EQ(glyphAt(img, fonts.font(6), page, 416, 48), u'W');
}

TEST_F(TicketDrawTest, SampleShowsEveryLineAtFixedRows) {
    const QImage img = DrawSampleTicketCanvas(env());
    EXPECT_EQ(left(img, 9, 2, 0, 32), u"Header 1"_s);
    EXPECT_EQ(left(img, 6, 2, 6, 32), u"Header 2"_s);
    EXPECT_EQ(left(img, 5, 2, 16, 32), u"Header 5"_s);
    EXPECT_EQ(left(img, 5, 2, 21, 16), u"A# 123"_s);
    EXPECT_EQ(left(img, 5, 26, 21, 18), u"07/03/24 09:05:02"_s);
    EXPECT_EQ(left(img, 5, 2, 27, 32), u"Items name"_s);
    EXPECT_EQ(right(img, 5, 20, 31, 13), u"220.00"_s);
    EXPECT_EQ(right(img, 5, 34, 31, 6), u"1.540"_s);
    EXPECT_EQ(left(img, 5, 22, 31, 2), u"x"_s);
    EXPECT_EQ(left(img, 5, 34, 31, 3), u"kg"_s);
    EXPECT_EQ(right(img, 5, 51, 31, 8), u"=338.80"_s);
    EXPECT_EQ(right(img, 10, 52, 36, 9), u"338.80"_s);
    EXPECT_EQ(left(img, 5, 2, 47, 32), u"User details"_s);
    EXPECT_EQ(left(img, 5, 2, 57, 32), u"Information 3"_s);
    for (int y : {208, 280})
        EXPECT_TRUE(isInk(img.pixel(16, y)) && isInk(img.pixel(416, y))) << y;
    EXPECT_EQ(img.pixel(0, 488), qRgb(192, 192, 192));
    EXPECT_EQ(img.pixel(10, 498), qRgb(192, 192, 192));

    // The watermark greys the ground a little, only inside its four bands.
    auto greyIn = [&](QRect r) {
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (img.pixel(x, y) == qRgb(224, 224, 224))
                    return true;
        return false;
    };
    for (int y : {50, 150, 250, 350})
        EXPECT_TRUE(greyIn(QRect(20, y, 412, 90))) << y;
    EXPECT_FALSE(greyIn(QRect(0, 0, 432, 50)));
    EXPECT_FALSE(greyIn(QRect(0, 0, 20, 600)));
    EXPECT_FALSE(greyIn(QRect(0, 440, 432, 160)));
}

TEST_F(TicketDrawTest, CanvasOps) {
    TicketCanvas c(fonts, page, 100);
    c.DrawRule(0, 1, 54, 1, 3);
    // A right-aligned field is cleared by its cell width: font 4 cells are 12 wide, so
    // the field of 4 clears x = 80 to 128 while its text ends at 112.
    c.DrawFontTextRight(10, 0, 4, 4, u"ab"_s);
    EXPECT_TRUE(hasInk(c.image(), QRect(70, 7, 10, 3)));
    EXPECT_FALSE(hasInk(c.image(), QRect(112, 0, 16, 20)));
    EXPECT_TRUE(hasInk(c.image(), QRect(128, 7, 10, 3)));
    EXPECT_EQ(readRight(c.image(), fonts.font(4), page, 14, 0, 2), u"ab"_s);
    // A field that runs past the canvas is cut by the border, not refused.
    EXPECT_NO_THROW(c.DrawFontText(53, 11, 10, 5, u"WW"_s));
    EXPECT_NO_THROW(c.DrawFontTextRight(-3, -1, 10, 2, u"WWW"_s));
}

struct FontFault {
    const char* name;
    friend void PrintTo(const FontFault& c, std::ostream* os) { *os << c.name; }
    QByteArray content; // empty: the file is missing
    const char* inMessage;
};

class TicketFontFaultTest : public TicketDrawTest,
                            public ::testing::WithParamInterface<FontFault> {};

TEST_P(TicketFontFaultTest, BadFontFailsWithItsPath) {
    QTemporaryDir dir;
    ASSERT_TRUE(copyTree(englishFonts(), dir.path()));
    TicketFonts own(dir.path());
    TicketEnvironment e{own, page, TicketTexts::fromLanguage(), QLocale::c(), QDateTime(), 600};
    // Drawn once first, so the font is cached when it goes bad.
    ASSERT_NO_THROW(DrawTicketCanvas(fullData(), e));

    const QString path = dir.path() + QStringLiteral("/fontm12x24.bmp");
    QFile::remove(path);
    if (!GetParam().content.isEmpty()) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(GetParam().content);
    }
    try {
        DrawTicketCanvas(fullData(), e);
        FAIL() << "no error";
    } catch (const FileError& err) {
        EXPECT_TRUE(err.text().contains(QStringLiteral("fontm12x24.bmp"))) << err.what();
        EXPECT_TRUE(err.text().contains(QString::fromLatin1(GetParam().inMessage))) << err.what();
    }
}

QByteArray smallBmp() {
    QImage img(240, 48, QImage::Format_Mono);
    img.fill(0);
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "BMP");
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(Ticket, TicketFontFaultTest,
                         ::testing::Values(FontFault{"Missing", {}, "not found"},
                                           FontFault{"NotAnImage", "BM garbage", "Cannot read"},
                                           FontFault{"TooFewCells", smallBmp(), "256 cells"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TicketDrawTest, ReplacedFontIsReadAgain) {
    QTemporaryDir dir;
    ASSERT_TRUE(copyTree(englishFonts(), dir.path()));
    TicketFonts own(dir.path());
    const QImage before = own.font(1).strip;
    const QString path = dir.path() + QStringLiteral("/fonts8x16.bmp");
    QImage inverted = before;
    inverted.invertPixels();
    QFile::remove(path);
    ASSERT_TRUE(inverted.save(path, "BMP"));
    QFile touched(path);
    ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
    touched.setFileTime(QDateTime::currentDateTime().addSecs(10),
                        QFileDevice::FileModificationTime);
    touched.close();
    EXPECT_EQ(own.font(1).strip, inverted.convertToFormat(QImage::Format_RGB32));
}

// The shown image: half the canvas in each direction, one palette byte per pixel.
TEST_F(TicketDrawTest, ReductionHalvesIntoAPalette) {
    for (int height : {600, 1201}) {
        TicketEnvironment e = env();
        e.canvasHeight = height;
        const QImage shown = ReduceTicket(DrawTicketCanvas(fullData(), e));
        EXPECT_EQ(shown.size(), QSize(216, (height + 1) / 2));
        EXPECT_EQ(shown.format(), QImage::Format_Indexed8);
        EXPECT_LE(shown.colorCount(), 256);
        // The rule on row 24 stays dark, the ground white.
        EXPECT_LT(qGray(shown.pixel(100, 96)), 96);
        EXPECT_GT(qGray(shown.pixel(100, 290)), 240);
    }
    EXPECT_THROW(DecodeTicketJpegHalf(QByteArray("\xff\xd8 not a picture")), FileError);
}

} // namespace
