#include "app/notifier.h"
#include "editors/goodschecks.h"

#include "scalefiletestdb.h"

#include <QSqlRecord>

using namespace dm;

namespace {

struct PriceCase {
    const char* locale;
    QString typed;
    std::optional<double> stored; // the currency text of this amount; nullopt: refused
};

class PriceRules : public ::testing::TestWithParam<PriceCase> {};

} // namespace

TEST_P(PriceRules, NormaliseOrRefuse) {
    const QLocale locale(QString::fromLatin1(GetParam().locale));
    const std::optional<QString> stored = NormalisedPrice(GetParam().typed, locale);
    if (!GetParam().stored) {
        EXPECT_FALSE(stored.has_value()) << stored->toStdString();
        return;
    }
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(*stored, CurrencyText(*GetParam().stored, locale));
    // The stored form reads back to the same amount and is kept as it is.
    EXPECT_EQ(PriceHundredths(*stored, locale), qRound64(*GetParam().stored * 100));
    EXPECT_EQ(NormalisedPrice(*stored, locale), stored);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PriceRules,
    ::testing::Values(PriceCase{"ru_RU", QStringLiteral("12.5"), 12.5},
                      PriceCase{"ru_RU", QStringLiteral("12,5 abc"), 12.5},
                      PriceCase{"ru_RU", QStringLiteral("1 234,5"), 1234.5},
                      PriceCase{"ru_RU", QStringLiteral("-5"), 0.5},
                      PriceCase{"ru_RU", QStringLiteral("12."), 12.0},
                      PriceCase{"ru_RU", QString(), 0.0},
                      PriceCase{"ru_RU", QStringLiteral("10000"), std::nullopt},
                      PriceCase{"ru_RU", QStringLiteral("1.2.3"), std::nullopt},
                      PriceCase{"ru_RU", QStringLiteral(","), std::nullopt},
                      PriceCase{"C", QStringLiteral("9999.99"), 9999.99},
                      PriceCase{"C", QStringLiteral("9999.991"), std::nullopt},
                      PriceCase{"C", QStringLiteral("00009999.990"), 9999.99},
                      PriceCase{"C", QStringLiteral("99999999999999999999999"), std::nullopt},
                      PriceCase{"C", QStringLiteral("12,345"), 12.34}, // half to even
                      PriceCase{"C", QStringLiteral("0.125"), 0.12},
                      PriceCase{"C", QStringLiteral("0.135"), 0.14},
                      // Stored forms whose thousands separator is a punctuation mark.
                      PriceCase{"en_US", QStringLiteral("1,234.50"), 1234.5},
                      PriceCase{"de_DE", QStringLiteral("1.234,50"), 1234.5},
                      PriceCase{"de_DE", QStringLiteral("1.2.3"), std::nullopt}));

TEST(PriceText, FromFileHundredthsAndCurrencyForm) {
    const QLocale ru(QStringLiteral("ru_RU"));
    EXPECT_EQ(PriceTextFromHundredths(123456, ru), QStringLiteral("1234,56"));
    EXPECT_EQ(PriceTextFromHundredths(5, QLocale::c()), QStringLiteral("0.05"));
    EXPECT_EQ(CurrencyText(1234.5, ru), QStringLiteral("1\u00A0234,50\u00A0"));
    EXPECT_EQ(CurrencyText(1234.5, QLocale::c()), QStringLiteral("1234.50"));
    // A price stored under another locale still reads.
    EXPECT_EQ(PriceHundredths(QStringLiteral("12.50"), ru), 1250);
    EXPECT_EQ(PriceHundredths(QStringLiteral("1\u00A0234,50\u00A0"), QLocale::c()), 123450);
    // Where the other locale's decimal separator groups thousands here, it is still read
    // as the decimal separator, never dropped (which made a hundred times the price).
    const QLocale en(QStringLiteral("en_US")), de(QStringLiteral("de_DE"));
    EXPECT_EQ(PriceHundredths(QStringLiteral("1,50\u00A0"), en), 150);
    EXPECT_EQ(PriceHundredths(QStringLiteral("12.34"), de), 1234);
    EXPECT_EQ(PriceHundredths(QStringLiteral("1,234.50"), en), 123450);
    EXPECT_EQ(PriceHundredths(QStringLiteral("1.234,50"), de), 123450);
    EXPECT_EQ(PriceHundredths(QStringLiteral("1,234.50"), de), std::nullopt);
}

namespace {

class GoodsChecksTest : public test::TemplateDbTest {
protected:
    void SetUp() override {
        TemplateDbTest::SetUp();
        exec(QStringLiteral("INSERT INTO Products (PLU, RVTName, \"Type\", Price, Barcode) "
                            "VALUES (7, 'Seven', 'weight', '1.00', '4600000000000')"));
        db.products().refresh();
    }

    // A new row (ID 0) or the stored row 7 with changes.
    QStringList check(QVariantList record) {
        GoodsChecks checks(db.connection());
        const QStringList messages = checks.check(record);
        last = record;
        return messages;
    }
    QVariantList fresh(QVariant plu, QString price = QStringLiteral("1"), QString barcode = {}) {
        return {QVariant(), plu, QStringLiteral("N"), QStringLiteral("weight"), price, barcode};
    }
    QVariant storedId() { return db.products().value(0, ProductsDataSet::ID); }

    QVariantList last;
};

} // namespace

TEST_F(GoodsChecksTest, MessagesInOrderOnePerFailedCheck) {
    struct Case {
        QVariantList record;
        QStringList messages;
    };
    const QVariantList existing{storedId(),
                                7,
                                QStringLiteral("Seven"),
                                QStringLiteral("weight"),
                                QStringLiteral("2"),
                                QStringLiteral("4600000000000")};
    QVariantList renumbered = existing;
    renumbered[ProductsDataSet::PLU] = 70;
    const Case cases[] = {
        {fresh(8), {}},
        {existing, {}},   // its own PLU and barcode do not count
        {renumbered, {}}, // nor its own barcode under a new PLU
        {fresh(7), {QStringLiteral("PLU exists: 7")}},
        {fresh(0), {QStringLiteral("Incorrect PLU: 0")}},
        {fresh(QVariant()), {QStringLiteral("Incorrect PLU: 0")}},
        {fresh(100000000), {QStringLiteral("Incorrect PLU: 100000000")}},
        {fresh(-3), {QStringLiteral("Incorrect PLU: -3")}},
        {fresh(8, QStringLiteral("10000")), {QStringLiteral("Incorrect price: 10000")}},
        {fresh(8, QStringLiteral("1"), QStringLiteral("4600000000000")),
         {QStringLiteral("Barcode exists: 4600000000000")}},
        {fresh(8, QStringLiteral("1"), QStringLiteral("46000000000001")),
         {QStringLiteral("Incorrect barcode: 46000000000001")}},
        {fresh(8, QStringLiteral("1"), QStringLiteral("12A")),
         {QStringLiteral("Incorrect barcode: 12A")}},
        {fresh(8, QStringLiteral("1"), QStringLiteral("-1")),
         {QStringLiteral("Incorrect barcode: -1")}},
        {fresh(8, QStringLiteral("1"), QStringLiteral(" 12")),
         {QStringLiteral("Incorrect barcode:  12")}},
        {fresh(8, QStringLiteral("1"), QStringLiteral("4600000000001")), {}},
        // A new row shares the stored row's barcode whatever PLU it gives.
        {fresh(7, QStringLiteral("1.2.3"), QStringLiteral("4600000000000")),
         {QStringLiteral("Incorrect price: 1.2.3"), QStringLiteral("PLU exists: 7"),
          QStringLiteral("Barcode exists: 4600000000000")}},
        {fresh(0, QStringLiteral("x1.2.3"), QStringLiteral("12345678901234")),
         {QStringLiteral("Incorrect price: x1.2.3"), QStringLiteral("Incorrect PLU: 0"),
          QStringLiteral("Incorrect barcode: 12345678901234")}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(check(c.record), c.messages) << c.record[1].toString().toStdString();
}

TEST_F(GoodsChecksTest, NormalisesTypeAndPrice) {
    EXPECT_TRUE(
        check({QVariant(), 9, QString(), QString(), QStringLiteral("12."), QVariant()}).isEmpty());
    EXPECT_EQ(last[ProductsDataSet::Type].toString(), QStringLiteral("weight"));
    EXPECT_EQ(last[ProductsDataSet::Price].toString(), QStringLiteral("12.00"));

    // Under another language the empty type takes that language's weight word, and the
    // messages come in the language too.
    currentLanguageFile().open(test::stagedProgramFolder() + QStringLiteral("/Languages/RUS"));
    QLocale::setDefault(QLocale(QStringLiteral("ru_RU")));
    GoodsChecks checks(db.connection());
    QVariantList rec{QVariant(), 0, QString(), QString(), QStringLiteral("1 234,5"), QVariant()};
    EXPECT_EQ(checks.check(rec), QStringList{QStringLiteral("Неверный номер PLU: 0")});
    EXPECT_EQ(rec[ProductsDataSet::Type].toString(), QStringLiteral("весовой"));
    EXPECT_EQ(rec[ProductsDataSet::Price].toString(), QStringLiteral("1\u00A0234,50\u00A0"));
}

TEST_F(GoodsChecksTest, GateOfTheGoodsDataset) {
    CollectingNotifier notifier;
    bool active = true;
    InstallGoodsChecks(db, notifier, [&active] { return active; });
    ProductsDataSet& goods = db.products();
    const QStringList before = dump();

    EXPECT_THROW(goods.append({{QStringLiteral("PLU"), 7},
                               {QStringLiteral("Price"), QStringLiteral("1.2.3")}}),
                 GoodsRefused);
    EXPECT_EQ(notifier.messages(), (QStringList{QStringLiteral("Incorrect price: 1.2.3"),
                                                QStringLiteral("PLU exists: 7")}));
    EXPECT_EQ(dump(), before);

    // An edit that keeps the PLU passes and stores the normalised price.
    notifier.clear();
    goods.post(0, {{QStringLiteral("Price"), QStringLiteral("3,5")}});
    EXPECT_TRUE(notifier.messages().isEmpty());
    EXPECT_EQ(goods.value(0, ProductsDataSet::Price).toString(), QStringLiteral("3.50"));
    // A goods item with a barcode can take another PLU.
    goods.post(0, {{QStringLiteral("PLU"), 70}});
    EXPECT_TRUE(notifier.messages().isEmpty()) << notifier.messages().join(u'\n').toStdString();
    EXPECT_EQ(goods.value(0, ProductsDataSet::PLU).toInt(), 70);
    // Changing the barcode to one that another row has is refused.
    goods.append({{QStringLiteral("PLU"), 8}, {QStringLiteral("Barcode"), QStringLiteral("1")}});
    EXPECT_THROW(goods.post(goods.currentRow(),
                            {{QStringLiteral("Barcode"), QStringLiteral("4600000000000")}}),
                 GoodsRefused);
    EXPECT_EQ(notifier.messages(), QStringList{QStringLiteral("Barcode exists: 4600000000000")});

    // While the pages load, rows are stored as they are.
    active = false;
    goods.append({{QStringLiteral("PLU"), 9}, {QStringLiteral("Price"), QStringLiteral("abc")}});
    EXPECT_EQ(goods.value(goods.currentRow(), ProductsDataSet::Price).toString(),
              QStringLiteral("abc"));
}
