#include "app/errors.h"
#include "app/notifier.h"
#include "db/database.h"
#include "db/sqlitefile.h"
#include "editors/goodschecks.h"
#include "editors/goodseditor.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace dm;

namespace {

QVariantList goodsRecord(const QVariant& plu, const QVariant& name, const QVariant& type = {},
                         const QVariant& price = {}, const QVariant& barcode = {}) {
    return {QVariant(qlonglong(1)), plu, name, type, price, barcode};
}

struct MatchCase {
    const char* what;
    GoodsColumn column;
    QVariant value;
    const char16_t* search;
    bool matches;
    QLocale::Language language = QLocale::English;
};

QVariantList recordFor(const MatchCase& c) {
    QVariantList r = goodsRecord(QVariant(), QVariant());
    r[goodsFieldOfColumn(int(c.column))] = c.value;
    return r;
}

} // namespace

TEST(GoodsSearch, MatchesAPrefixInAnyCaseAndNothingElse) {
    const auto text = [](const char16_t* s) { return QVariant(QString::fromUtf16(s)); };
    const MatchCase cases[] = {
        {"same case", GoodsColumn::Name, text(u"milk"), u"mil", true},
        {"upper row", GoodsColumn::Name, text(u"MILLET"), u"mil", true},
        {"mixed search", GoodsColumn::Name, text(u"Milk"), u"mIL", true},
        {"contains only", GoodsColumn::Name, text(u"semolina"), u"mil", false},
        {"row shorter than search", GoodsColumn::Name, text(u"mi"), u"mil", false},
        {"missing name", GoodsColumn::Name, QVariant(), u"m", false},
        {"whole value", GoodsColumn::Name, text(u"Tea"), u"TEA", true},
        {"Cyrillic", GoodsColumn::Name, text(u"Молоко"), u"мОЛ", true, QLocale::Russian},
        {"Cyrillic other word", GoodsColumn::Name, text(u"Сыр"), u"мол", false, QLocale::Russian},
        {"sharp s is two capitals", GoodsColumn::Name, text(u"Straße"), u"STRASSE", true,
         QLocale::German},
        {"sharp s in both", GoodsColumn::Name, text(u"Straßenbahn"), u"STRAß", true,
         QLocale::German},
        {"cut to the search's five characters", GoodsColumn::Name, text(u"STRASSE"), u"straß",
         false, QLocale::German},
        {"Turkish dotted capital", GoodsColumn::Name, text(u"istanbul"), u"İST", true,
         QLocale::Turkish},
        {"English has no dotted capital", GoodsColumn::Name, text(u"istanbul"), u"İST", false},
        {"Turkish i is not I", GoodsColumn::Name, text(u"istanbul"), u"IST", false,
         QLocale::Turkish},
        {"PLU prefix", GoodsColumn::PLU, QVariant(qlonglong(1234)), u"12", true},
        {"PLU exact", GoodsColumn::PLU, QVariant(qlonglong(12)), u"12", true},
        {"PLU 120 for 12", GoodsColumn::PLU, QVariant(qlonglong(120)), u"12", true},
        {"PLU shorter", GoodsColumn::PLU, QVariant(qlonglong(1)), u"12", false},
        {"PLU other digits", GoodsColumn::PLU, QVariant(qlonglong(21)), u"12", false},
        {"price text", GoodsColumn::Price, text(u"12.50"), u"12.5", true},
        {"type word", GoodsColumn::Type, text(u"weight"), u"W", true},
        {"barcode", GoodsColumn::Barcode, text(u"4600000000000"), u"460", true},
        {"empty barcode", GoodsColumn::Barcode, text(u""), u"4", false},
    };
    for (const MatchCase& c : cases) {
        const GoodsSearch search(int(c.column), QString::fromUtf16(c.search), QLocale(c.language));
        EXPECT_EQ(search.matches(recordFor(c)), c.matches) << c.what;
        EXPECT_EQ(search.filter()(recordFor(c)), c.matches) << c.what;
    }
}

// The character-by-character comparison must agree with the locale's own upper case:
// each character matches the locale's upper case of itself.
TEST(GoodsSearch, CharacterComparisonAgreesWithTheLocale) {
    for (const QLocale::Language language : {QLocale::English, QLocale::Russian}) {
        const QLocale locale(language);
        QStringList wrong;
        for (char32_t c = 1; c <= 0xFFFF; ++c) {
            if (c >= 0xD800 && c <= 0xDFFF)
                continue;
            const QString row{QChar(char16_t(c))};
            const GoodsSearch search(int(GoodsColumn::Name), locale.toUpper(row), locale);
            if (!search.matches(goodsRecord(QVariant(), row)) && wrong.size() < 10)
                wrong << QString::number(uint(c), 16);
        }
        EXPECT_TRUE(wrong.isEmpty())
            << locale.name().toStdString() << ": " << wrong.join(u' ').toStdString();
    }
}

TEST(GoodsSearch, TypingRulesOfEachColumn) {
    struct Case {
        GoodsColumn column;
        const char16_t* typed;
        const char16_t* kept;
        QLocale locale;
    };
    const QLocale c = QLocale::c();
    const QLocale ru(QLocale::Russian, QLocale::Russia);
    const Case cases[] = {
        {GoodsColumn::PLU, u"1a2b3", u"123", c},
        {GoodsColumn::PLU, u"-12 ", u"12", c},
        {GoodsColumn::Barcode, u"46-00x1", u"46001", c},
        {GoodsColumn::Price, u"12.5", u"12.5", c},
        {GoodsColumn::Price, u"12,5", u"12.5", c},
        {GoodsColumn::Price, u"12.5", u"12,5", ru},
        {GoodsColumn::Price, u"1a2 ", u"12", c},
        {GoodsColumn::Name, u"Milk 2.5%", u"Milk 2.5%", c},
        {GoodsColumn::Type, u"weight", u"weight", c},
    };
    for (const Case& k : cases)
        EXPECT_EQ(goodsSearchInput(int(k.column), QString::fromUtf16(k.typed), k.locale),
                  QString::fromUtf16(k.kept))
            << QString::fromUtf16(k.typed).toStdString();

    const int limits[] = {8, 0, 0, 7, 13};
    for (int column = 0; column < kGoodsColumns; ++column)
        EXPECT_EQ(goodsSearchLimit(column), limits[column]) << column;
}

TEST(GoodsSort, TitleClicksCycleOnOneColumn) {
    const GoodsSort none;
    const GoodsSort pluUp{0, Qt::AscendingOrder};
    const GoodsSort pluDown{0, Qt::DescendingOrder};
    struct Case {
        GoodsSort from;
        int click;
        GoodsSort to;
    };
    const Case cases[] = {
        {none, 0, pluUp},   {pluUp, 0, pluDown}, {pluDown, 0, none},
        {pluUp, 1, none},   {pluDown, 4, none},  {none, 3, {3, Qt::AscendingOrder}},
        {pluUp, -1, pluUp}, // the hidden ID column is no grid column
    };
    for (const Case& c : cases)
        EXPECT_EQ(nextGoodsSort(c.from, c.click), c.to) << c.from.column << " " << c.click;
}

namespace {

class GoodsEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale::c());
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("Base.sqlite"));
        createTemplateDatabase(path);
        db.open(path);
        InstallGoodsChecks(db, notifier);
    }
    void add(qint64 plu, const QString& name, const QString& barcode = QString()) {
        db.products().append({{QStringLiteral("PLU"), plu},
                              {QStringLiteral("RVTName"), name},
                              {QStringLiteral("Type"), CountTypeText()},
                              {QStringLiteral("Price"), QStringLiteral("1.50")},
                              {QStringLiteral("Barcode"), barcode}});
    }
    qint64 storedCount() { return goodsCount(db.connection()); }
    QList<qint64> visiblePlus() {
        QList<qint64> plus;
        for (int r = 0; r < db.products().recordCount(); ++r)
            plus << db.products().value(r, ProductsDataSet::PLU).toLongLong();
        return plus;
    }

    QTemporaryDir dir;
    QString path;
    Database db;
    CollectingNotifier notifier;
};

} // namespace

TEST_F(GoodsEditorTest, NewTakesTheNextPluOfAllGoods) {
    const int row = addGoods(db.products(), db.connection());
    ASSERT_EQ(row, 0);
    EXPECT_EQ(db.products().record(row),
              (QVariantList{db.products().value(0, 0), qlonglong(1), QStringLiteral(""),
                            WeightTypeText(), QStringLiteral("0.00"), QStringLiteral("")}));

    add(5, QStringLiteral("Milk"));
    add(12, QStringLiteral("Bread"));
    // A search that hides the highest PLU does not hide it from New.
    db.products().setFilter(GoodsSearch(int(GoodsColumn::PLU), QStringLiteral("5")).filter());
    ASSERT_EQ(visiblePlus(), QList<qint64>{5});
    EXPECT_EQ(addGoods(db.products(), db.connection()), -1);
    db.products().clearFilter();
    EXPECT_EQ(visiblePlus(), (QList<qint64>{1, 5, 12, 13}));
    EXPECT_TRUE(notifier.messages().isEmpty()) << notifier.messages().join(u'\n').toStdString();
}

TEST_F(GoodsEditorTest, NewAfterTheHighestPluAddsNothing) {
    add(kMaxPlu, QStringLiteral("Last"));
    EXPECT_THROW(addGoods(db.products(), db.connection()), DataError);
    EXPECT_EQ(storedCount(), 1);
}

TEST_F(GoodsEditorTest, CopyKeepsEverythingButThePluAndIsRefusedForABarcode) {
    add(3, QStringLiteral("Cheese"));
    add(7, QStringLiteral("Sugar"), QStringLiteral("4600000000000"));

    notifier.clear();
    EXPECT_THROW(copyGoods(db.products(), db.connection(), 1), GoodsRefused);
    EXPECT_EQ(notifier.messages(), QStringList{QStringLiteral("Barcode exists: 4600000000000")});
    EXPECT_EQ(storedCount(), 2);

    const int row = copyGoods(db.products(), db.connection(), 0);
    const QVariantList copy = db.products().record(row);
    EXPECT_EQ(copy[ProductsDataSet::PLU].toLongLong(), 8);
    EXPECT_EQ(copy.mid(ProductsDataSet::RVTName), db.products().record(0).mid(2));
    EXPECT_EQ(db.products().currentRow(), row);
}

TEST_F(GoodsEditorTest, DeleteTakesTheCurrentRowOrEverySelectedRow) {
    for (qint64 plu : {1, 2, 3, 4, 5})
        add(plu, QStringLiteral("Goods %1").arg(plu));
    db.products().setCurrentRow(1);
    deleteGoods(db.products(), {3}); // one selected row: the current row goes
    EXPECT_EQ(visiblePlus(), (QList<qint64>{1, 3, 4, 5}));
    deleteGoods(db.products(), {0, 2, 3});
    EXPECT_EQ(visiblePlus(), (QList<qint64>{3}));
    EXPECT_EQ(storedCount(), 1);
}

TEST_F(GoodsEditorTest, SortStateFollowsTheDataSet) {
    for (qint64 plu : {3, 1, 2})
        add(plu, QStringLiteral("Goods %1").arg(plu));
    GoodsSort sort;
    const QList<QList<qint64>> orders = {{1, 2, 3}, {3, 2, 1}, {3, 1, 2}};
    for (const QList<qint64>& order : orders) {
        sort = nextGoodsSort(goodsSortOf(db.products()), 0);
        applyGoodsSort(db.products(), sort);
        EXPECT_EQ(goodsSortOf(db.products()), sort);
        EXPECT_EQ(visiblePlus(), order);
    }
    EXPECT_EQ(db.products().sortField(), QString());
}
