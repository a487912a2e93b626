#include "dbfixture.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <algorithm>

using namespace dm;
using namespace dm::test;

namespace {

const QString PLU = QStringLiteral("PLU");
const QString Name = QStringLiteral("RVTName");
const QString Price = QStringLiteral("Price");
const QString Barcode = QStringLiteral("Barcode");

QVariantMap goods(int plu, const QString& name = QString()) {
    QVariantMap m{{PLU, plu}};
    if (!name.isNull())
        m.insert(Name, name);
    return m;
}

QStringList strings(const char* joined) {
    return QString::fromUtf8(joined).split(u'|');
}

QList<int> column(const DataSet& ds, int field) {
    QList<int> out;
    for (int r = 0; r < ds.recordCount(); ++r)
        out << ds.value(r, field).toInt();
    return out;
}

QStringList texts(const DataSet& ds, int field) {
    QStringList out;
    for (int r = 0; r < ds.recordCount(); ++r)
        out << (ds.value(r, field).isValid() ? ds.value(r, field).toString()
                                             : QStringLiteral("<null>"));
    return out;
}

} // namespace

// ---- field rules ---------------------------------------------------------------------------

struct FieldCase {
    const char* name;
    QString field;
    QVariant value;
    const char* refusal; // nullptr: accepted; otherwise the exact message
};

class FieldRules : public DbFixture, public ::testing::WithParamInterface<FieldCase> {};

// Each rule holds for a new row and for an edit, and a refused value changes neither the
// dataset nor the file.
TEST_P(FieldRules, AppendAndPost) {
    const FieldCase& c = GetParam();
    ProductsDataSet& p = db.products();
    p.append({{PLU, 1}, {Name, QStringLiteral("Milk")}, {Price, QStringLiteral("1.00")}});
    const QVariantList before = p.record(0);
    const QByteArray hash = fileHash(path);

    QVariantMap newRow{{PLU, 2}};
    newRow.insert(c.field, c.value);
    for (int attempt = 0; attempt < 2; ++attempt) {
        SCOPED_TRACE(attempt == 0 ? "append" : "post");
        const int count = p.recordCount();
        if (!c.refusal) {
            if (attempt == 0) {
                EXPECT_EQ(p.append(newRow), count);
                EXPECT_EQ(p.recordCount(), count + 1);
            } else {
                p.post(0, {{c.field, c.value}});
            }
            const int row = attempt == 0 ? count : 0;
            const QVariant stored = p.value(row, c.field);
            EXPECT_EQ(stored.toString(), c.value.toString());
            EXPECT_EQ(
                scalar(QStringLiteral("SELECT \"%1\" FROM Products WHERE ID = ?").arg(c.field),
                       {p.value(row, QStringLiteral("ID"))})
                    .toString(),
                c.value.toString());
            continue;
        }
        try {
            if (attempt == 0)
                p.append(newRow);
            else
                p.post(0, {{c.field, c.value}});
            ADD_FAILURE() << "accepted";
        } catch (const DataError& e) {
            EXPECT_EQ(e.text(), QString::fromUtf8(c.refusal));
        }
        EXPECT_EQ(p.recordCount(), count);
        EXPECT_EQ(p.record(0), before);
        EXPECT_EQ(fileHash(path), hash);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Products, FieldRules,
    ::testing::Values(
        FieldCase{"PluZero", PLU, 0, nullptr}, FieldCase{"PluMax", PLU, 99999999, nullptr},
        FieldCase{"PluTextMax", PLU, QStringLiteral("99999999"), nullptr},
        FieldCase{"PluTooLarge", PLU, 100000000,
                  "The value 100000000 is out of range for field 'PLU' (0 to 99999999)."},
        FieldCase{"PluTextTooLarge", PLU, QStringLiteral("100000000"),
                  "The value 100000000 is out of range for field 'PLU' (0 to 99999999)."},
        FieldCase{"PluBeyond64Bits", PLU, QStringLiteral("123456789012345678901234"),
                  "The value 123456789012345678901234 is out of range for field 'PLU' (0 to "
                  "99999999)."},
        FieldCase{"PluNegative", PLU, -1,
                  "The value -1 is out of range for field 'PLU' (0 to 99999999)."},
        FieldCase{"PluMissing", PLU, QVariant(), "Field 'PLU' must have a value."},
        FieldCase{"PluEmptyText", PLU, QStringLiteral(" "), "Field 'PLU' must have a value."},
        FieldCase{"PluNotNumber", PLU, QStringLiteral("12a"),
                  "'12a' is not a valid number for field 'PLU'."},
        FieldCase{"PluFraction", PLU, 1.5, "'1.5' is not a valid number for field 'PLU'."},
        FieldCase{"Name32", Name, QString(32, u'N'), nullptr},
        FieldCase{"Name33", Name, QString(33, u'N'),
                  "The text for field 'RVTName' is too long: at most 32 characters are "
                  "allowed."},
        FieldCase{"Price30", Price, QString(30, u'1'), nullptr},
        FieldCase{"Price31", Price, QString(31, u'1'),
                  "The text for field 'Price' is too long: at most 30 characters are "
                  "allowed."},
        FieldCase{"Barcode13", Barcode, QStringLiteral("4600000000000"), nullptr},
        FieldCase{"Barcode14", Barcode, QStringLiteral("46000000000001"),
                  "The text for field 'Barcode' is too long: at most 13 characters are "
                  "allowed."},
        FieldCase{"Type50", QStringLiteral("Type"), QString(50, u'w'), nullptr},
        FieldCase{"Type51", QStringLiteral("Type"), QString(51, u'w'),
                  "The text for field 'Type' is too long: at most 50 characters are "
                  "allowed."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DbFixture, AutoNumberIsFilledInAndCannotBeChanged) {
    ProductsDataSet& p = db.products();
    p.append(goods(1));
    p.append(goods(2));
    const qlonglong id = p.value(1, ProductsDataSet::ID).toLongLong();
    EXPECT_GT(id, p.value(0, ProductsDataSet::ID).toLongLong());
    EXPECT_EQ(p.rowIdentity(1), id);
    EXPECT_THROW(p.post(1, {{QStringLiteral("ID"), id + 5}}), DataError);
    p.post(1, {{QStringLiteral("ID"), id}, {PLU, 3}}); // the same ID is no change
    EXPECT_EQ(p.value(1, ProductsDataSet::PLU).toInt(), 3);
    EXPECT_FALSE(p.flags(p.index(0, ProductsDataSet::ID)) & Qt::ItemIsEditable);
    EXPECT_TRUE(p.flags(p.index(0, ProductsDataSet::PLU)) & Qt::ItemIsEditable);
}

TEST_F(DbFixture, BeforePostHookNormalisesOrRefuses) {
    ProductsDataSet& p = db.products();
    QList<int> rowsSeen;
    p.setBeforePost([&](QVariantList& rec, int row) {
        rowsSeen << row;
        if (rec[ProductsDataSet::PLU].toInt() == 0)
            throw UserError(QStringLiteral("Incorrect PLU: 0"));
        if (rec[ProductsDataSet::Type].toString().isEmpty())
            rec[ProductsDataSet::Type] = QStringLiteral("weight");
        rec[ProductsDataSet::Price] = QStringLiteral("12.50");
    });
    EXPECT_EQ(p.append(goods(4)), 0);
    EXPECT_EQ(p.value(0, ProductsDataSet::Type).toString(), QStringLiteral("weight"));
    EXPECT_EQ(p.value(0, ProductsDataSet::Price).toString(), QStringLiteral("12.50"));
    EXPECT_THROW(p.append(goods(0)), UserError);
    EXPECT_THROW(p.post(0, {{PLU, 0}}), UserError);
    EXPECT_EQ(p.value(0, ProductsDataSet::PLU).toInt(), 4);
    EXPECT_EQ(rowsSeen, QList<int>({-1, -1, 0}));
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Products")).toInt(), 1);

    // What the hook hands back passes the same field rules.
    p.setBeforePost(
        [](QVariantList& rec, int) { rec[ProductsDataSet::Barcode] = QString(14, u'1'); });
    EXPECT_THROW(p.post(0, {{PLU, 5}}), DataError);
    EXPECT_EQ(p.value(0, ProductsDataSet::PLU).toInt(), 4);
}

TEST_F(DbFixture, SetDataReportsARefusedWriteThroughPostFailed) {
    ProductsDataSet& p = db.products();
    p.append(goods(1, QStringLiteral("Milk")));
    QSignalSpy failed(&p, &DataSet::postFailed);
    QSignalSpy changed(&p, &QAbstractItemModel::dataChanged);
    EXPECT_FALSE(p.setData(p.index(0, ProductsDataSet::PLU), QStringLiteral("100000000")));
    ASSERT_EQ(failed.size(), 1);
    EXPECT_EQ(failed[0][0].toString(),
              QStringLiteral("The value 100000000 is out of range for field 'PLU' (0 to "
                             "99999999)."));
    EXPECT_EQ(changed.size(), 0);
    EXPECT_EQ(p.data(p.index(0, ProductsDataSet::PLU)).toInt(), 1);

    EXPECT_TRUE(p.setData(p.index(0, ProductsDataSet::PLU), QStringLiteral("42")));
    EXPECT_EQ(changed.size(), 1);
    EXPECT_EQ(failed.size(), 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT PLU FROM Products")).toInt(), 42);
}

// ---- tables with fixed rows ----------------------------------------------------------------

TEST_F(DbFixture, KeysRunInIdOrderWhateverTheOrderOfInsertion) {
    exec(QStringLiteral("DELETE FROM Keys"));
    QList<int> ids;
    for (int k = 1; k <= 33; ++k)
        ids << 200 + k << 100 + (34 - k); // keypad 2 first, keypad 1 backwards
    for (int id : ids)
        exec(QStringLiteral("INSERT INTO Keys (ID, PLU) VALUES (?, ?)"), {id, id % 100});
    KeysDataSet& keys = db.keys();
    keys.refresh();
    ASSERT_EQ(keys.recordCount(), 66);
    // Keypad 2 is rows 34 to 66 (counting from 1).
    for (int row = 0; row < 66; ++row) {
        const int keypad = row / 33 + 1;
        EXPECT_EQ(keys.value(row, KeysDataSet::ID).toInt(), keypad * 100 + row % 33 + 1)
            << "row " << row + 1;
    }

    // New keys take their ID's place too, and so does a renumbered key.
    for (int k = 33; k >= 1; --k)
        keys.append({{QStringLiteral("ID"), 300 + k}, {PLU, 0}});
    EXPECT_EQ(keys.value(66, KeysDataSet::ID).toInt(), 301);
    EXPECT_EQ(keys.value(98, KeysDataSet::ID).toInt(), 333);
    keys.setCurrentRow(98);
    keys.post(98, {{QStringLiteral("ID"), 134}});
    EXPECT_EQ(keys.value(33, KeysDataSet::ID).toInt(), 134);
    EXPECT_EQ(keys.currentRow(), 33);
    EXPECT_EQ(keys.value(34, KeysDataSet::ID).toInt(), 201);
}

TEST_F(DbFixture, EmptyAndNullPasswordsBothReadAsNoPassword) {
    SalesmenDataSet& s = db.salesmen();
    ASSERT_TRUE(s.locate(QStringLiteral("ID"), 1));
    s.post(s.currentRow(), {{QStringLiteral("Password"), QStringLiteral("")}});
    ASSERT_TRUE(s.locate(QStringLiteral("ID"), 2));
    s.post(s.currentRow(), {{QStringLiteral("Password"), QVariant()}});
    s.refresh();
    const QVariant empty = s.lookup(QStringLiteral("ID"), 1, QStringLiteral("Password"));
    const QVariant null = s.lookup(QStringLiteral("ID"), 2, QStringLiteral("Password"));
    EXPECT_TRUE(empty.isValid());
    EXPECT_FALSE(null.isValid());
    EXPECT_TRUE(empty.toString().isEmpty());
    EXPECT_TRUE(null.toString().isEmpty());
    EXPECT_TRUE(
        scalar(QStringLiteral("SELECT Password IS NULL FROM Salesmen WHERE ID = 2")).toBool());
}

TEST_F(DbFixture, LookupAndLocate) {
    TicketDataSet& t = db.ticket();
    // IDs may come as decimal text.
    EXPECT_EQ(t.lookup(QStringLiteral("ID"), QStringLiteral("3"), QStringLiteral("Data")),
              scalar(QStringLiteral("SELECT Data FROM TicketLines WHERE ID = 3")));
    EXPECT_TRUE(
        t.lookup(QStringLiteral("ID"), QStringLiteral("9"), QStringLiteral("Data")).isNull());
    EXPECT_TRUE(
        t.lookup(QStringLiteral("ID"), QStringLiteral("x"), QStringLiteral("Data")).isNull());

    ProductsDataSet& p = db.products();
    for (int plu : {10, 20, 30})
        p.append(goods(plu, QStringLiteral("G%1").arg(plu)));
    p.setFilter([](const QVariantList& r) { return r[ProductsDataSet::PLU].toInt() != 20; });
    EXPECT_TRUE(p.locate(PLU, QStringLiteral("30")));
    EXPECT_EQ(p.currentValue(Name).toString(), QStringLiteral("G30"));
    // locate sees the visible rows only, lookup every row.
    EXPECT_FALSE(p.locate(PLU, 20));
    EXPECT_EQ(p.currentRow(), 1);
    EXPECT_EQ(p.lookup(PLU, 20, Name).toString(), QStringLiteral("G20"));
    EXPECT_TRUE(p.lookup(PLU, 40, Name).isNull());
    EXPECT_FALSE(p.locate(QStringLiteral("NoSuchField"), 1));
}

// ---- sort, filter, current row -------------------------------------------------------------

class Goods : public DbFixture {
protected:
    void SetUp() override {
        DbFixture::SetUp();
        // PLU, name in natural order; equal PLUs and names show that ties keep that order.
        const QList<std::pair<int, const char*>> rows = {{5, "banana"}, {3, "Apple"}, {9, "cherry"},
                                                         {3, "apple"},  {7, nullptr}, {1, "Milk"}};
        for (const auto& [plu, name] : rows)
            db.products().append(goods(plu, name ? QString::fromUtf8(name) : QString()));
    }
    ProductsDataSet& p() { return db.products(); }
};

TEST_F(Goods, SortAscendingDescendingAndCleared) {
    EXPECT_EQ(column(p(), ProductsDataSet::PLU), QList<int>({5, 3, 9, 3, 7, 1}));
    p().setSortField(PLU);
    EXPECT_EQ(texts(p(), ProductsDataSet::RVTName),
              strings("Milk|Apple|apple|banana|<null>|cherry"));
    p().setSortField(PLU, Qt::DescendingOrder);
    EXPECT_EQ(texts(p(), ProductsDataSet::RVTName),
              strings("cherry|<null>|banana|Apple|apple|Milk"));
    // Text sorts without regard to case; missing names come first.
    p().setSortField(Name);
    EXPECT_EQ(texts(p(), ProductsDataSet::RVTName),
              strings("<null>|Apple|apple|banana|cherry|Milk"));
    p().setSortField(QString());
    EXPECT_EQ(column(p(), ProductsDataSet::PLU), QList<int>({5, 3, 9, 3, 7, 1}));
    EXPECT_TRUE(p().sortField().isEmpty());
    EXPECT_THROW(p().setSortField(QStringLiteral("Nothing")), DataError);
}

TEST_F(Goods, CurrentRowFollowsItsRecordThroughSortAndFilter) {
    ASSERT_TRUE(p().locate(Name, QStringLiteral("cherry")));
    QSignalSpy moved(&p(), &DataSet::currentRowChanged);
    p().setSortField(PLU, Qt::DescendingOrder);
    EXPECT_EQ(p().currentRow(), 0);
    EXPECT_EQ(moved.size(), 1);

    auto startsWith = [](QString prefix) {
        return [prefix](const QVariantList& r) {
            return r[ProductsDataSet::RVTName].toString().startsWith(prefix, Qt::CaseInsensitive);
        };
    };
    p().setFilter(startsWith(QStringLiteral("c")));
    EXPECT_TRUE(p().isFiltered());
    EXPECT_EQ(p().recordCount(), 1);
    EXPECT_EQ(p().currentValue(Name).toString(), QStringLiteral("cherry"));
    // The current record hidden: the first visible row becomes current.
    p().setFilter(startsWith(QStringLiteral("a")));
    EXPECT_EQ(texts(p(), ProductsDataSet::RVTName), strings("Apple|apple"));
    EXPECT_EQ(p().currentRow(), 0);
    p().setFilter(startsWith(QStringLiteral("x")));
    EXPECT_EQ(p().currentRow(), -1);
    EXPECT_FALSE(p().next());
    p().clearFilter();
    EXPECT_EQ(p().recordCount(), 6);
    EXPECT_EQ(p().currentRow(), 0);

    // A new row hidden by the filter is stored but not shown.
    p().setFilter(startsWith(QStringLiteral("a")));
    EXPECT_EQ(p().append(goods(11, QStringLiteral("zucchini"))), -1);
    EXPECT_EQ(p().recordCount(), 2);
    EXPECT_EQ(p().lookup(PLU, 11, Name).toString(), QStringLiteral("zucchini"));
}

TEST_F(Goods, PostedRowTakesItsPlaceUnderSortAndFilter) {
    p().setSortField(PLU);
    p().setFilter([](const QVariantList& r) { return r[ProductsDataSet::PLU].toInt() < 100; });
    ASSERT_TRUE(p().locate(Name, QStringLiteral("Milk"))); // PLU 1, first
    EXPECT_EQ(p().currentRow(), 0);
    p().post(0, {{PLU, 8}});
    EXPECT_EQ(column(p(), ProductsDataSet::PLU), QList<int>({3, 3, 5, 7, 8, 9}));
    EXPECT_EQ(p().currentRow(), 4);
    p().post(4, {{PLU, 2}});
    EXPECT_EQ(column(p(), ProductsDataSet::PLU), QList<int>({2, 3, 3, 5, 7, 9}));
    EXPECT_EQ(p().currentRow(), 0);
    // Out of the filter: gone from view, the next row becomes current.
    p().post(0, {{PLU, 500}});
    EXPECT_EQ(column(p(), ProductsDataSet::PLU), QList<int>({3, 3, 5, 7, 9}));
    EXPECT_EQ(p().currentRow(), 0);
    EXPECT_EQ(p().currentValue(Name).toString(), QStringLiteral("Apple"));
}

TEST_F(Goods, RemoveRowsInOneGoAndRefreshKeepsTheCurrentRecord) {
    p().setCurrentRow(2);         // cherry
    p().removeRows({4, 0, 1, 0}); // banana, Apple, <null>
    EXPECT_EQ(texts(p(), ProductsDataSet::RVTName), strings("cherry|apple|Milk"));
    EXPECT_EQ(p().currentValue(Name).toString(), QStringLiteral("cherry"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Products")).toInt(), 3);
    p().remove(0);
    EXPECT_EQ(p().currentValue(Name).toString(), QStringLiteral("apple"));

    // Rows written beside the dataset (a bulk import) appear on refresh; the current
    // record stays current even when rows before it went.
    p().setCurrentRow(1); // Milk
    {
        Transaction t(db.connection());
        exec(QStringLiteral("DELETE FROM Products WHERE RVTName = 'apple'"));
        for (int plu = 100; plu < 110; ++plu)
            exec(QStringLiteral("INSERT INTO Products (PLU, RVTName) VALUES (?, 'bulk')"), {plu});
        t.commit();
    }
    p().refresh();
    EXPECT_EQ(p().recordCount(), 11);
    EXPECT_EQ(p().currentRow(), 0);
    EXPECT_EQ(p().currentValue(Name).toString(), QStringLiteral("Milk"));

    // Its record deleted, the current row stays at the same position.
    p().setCurrentRow(3);
    exec(QStringLiteral("DELETE FROM Products WHERE PLU = 102"));
    p().refresh();
    EXPECT_EQ(p().currentRow(), 3);
    EXPECT_EQ(p().currentValue(PLU).toInt(), 103);

    p().removeAll();
    EXPECT_EQ(p().recordCount(), 0);
    EXPECT_EQ(p().currentRow(), -1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Products")).toInt(), 0);
}

// Rows placed one at a time (append, post) land exactly where a full sort puts them: the
// two orders come from the same collation, in any locale.
TEST_F(Goods, IncrementalPlacesAgreeWithAFullSort) {
    const QLocale saved;
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::Russian, QLocale::Russia)}) {
        QLocale::setDefault(locale);
        p().setSortField(QString());
        p().setSortField(Name);
        const QStringList names = strings("Éclair|eclair|Ёлка|елка|Яблоко|apple 2|apple 10|"
                                          "a-b|ab|A B|Zz|zZ|123|");
        int plu = 100;
        for (const QString& n : names)
            p().append(goods(plu++, n));
        p().post(0, {{Name, QStringLiteral("Юла")}});
        p().post(3, {{Name, QStringLiteral("apple 1")}});
        const QStringList incremental = texts(p(), ProductsDataSet::RVTName);
        p().setSortField(QString());
        p().setSortField(Name);
        EXPECT_EQ(texts(p(), ProductsDataSet::RVTName), incremental) << locale.name().toStdString();
    }
    QLocale::setDefault(saved);
}

TEST_F(Goods, ModelSignalsStayConsistent) {
    QAbstractItemModelTester tester(&p(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    QPersistentModelIndex cherry = p().index(2, ProductsDataSet::RVTName);

    p().setSortField(Name, Qt::DescendingOrder);
    EXPECT_EQ(cherry.data().toString(), QStringLiteral("cherry"));
    EXPECT_EQ(cherry.row(), 1);
    for (int plu = 20; plu < 30; ++plu)
        p().append(goods(plu, QStringLiteral("n%1").arg(plu % 4)));
    p().post(0, {{Name, QStringLiteral("aaa")}});
    p().setFilter([](const QVariantList& r) { return r[ProductsDataSet::PLU].toInt() % 2; });
    p().post(0, {{PLU, 22}}); // leaves the view
    p().append(goods(31, QStringLiteral("b")));
    p().append(goods(32, QStringLiteral("b"))); // hidden
    p().setSortField(PLU);
    p().removeRows({0, 2, 3});
    p().clearFilter();
    p().setSortField(QString());
    p().sort(ProductsDataSet::Price, Qt::AscendingOrder);
    p().remove(p().recordCount() - 1);
    p().refresh();
    p().setData(p().index(0, ProductsDataSet::PLU), 123456789); // refused
    p().removeAll();
    EXPECT_EQ(p().rowCount(), 0);
    EXPECT_EQ(p().columnCount(), 6);
    EXPECT_EQ(p().headerData(ProductsDataSet::Barcode, Qt::Horizontal).toString(), Barcode);
}

// ---- dates -----------------------------------------------------------------------------------

TEST_F(DbFixture, TotalsDatesAreDateTimesInTheDatasetAndIsoTextInTheFile) {
    TotalsDataSet& t = db.totals();
    const QDateTime last(QDate(2016, 2, 29), QTime(20, 0, 5));
    const QDateTime read(QDate(2016, 3, 1), QTime(8, 30, 0, 250));
    t.append({{QStringLiteral("Scales"), QStringLiteral("miniSD")},
              {PLU, 12},
              {QStringLiteral("DayWeight"), 1.25},
              {QStringLiteral("Last"), last},
              {QStringLiteral("Read"), read}});
    t.append({{QStringLiteral("Scales"), QStringLiteral("Shop")},
              {PLU, 13},
              {QStringLiteral("Last"), QStringLiteral("2016-01-31 23:59:59")}});
    EXPECT_EQ(scalar(QStringLiteral("SELECT \"Last\" || '|' || \"Read\" FROM Totals WHERE PLU = "
                                    "12"))
                  .toString(),
              QStringLiteral("2016-02-29 20:00:05|2016-03-01 08:30:00"));
    t.refresh();
    EXPECT_EQ(t.value(0, TotalsDataSet::Last).toDateTime(), last);
    EXPECT_EQ(t.value(0, TotalsDataSet::Read).toDateTime(), read.addMSecs(-250));
    EXPECT_EQ(t.value(0, TotalsDataSet::DayWeight).toDouble(), 1.25);
    EXPECT_FALSE(t.value(1, TotalsDataSet::Read).isValid());
    t.setSortField(QStringLiteral("Last"));
    EXPECT_EQ(t.value(0, TotalsDataSet::PLU).toInt(), 13);
    EXPECT_THROW(t.append({{QStringLiteral("Last"), QStringLiteral("31.31.2016")}}), DataError);
    EXPECT_THROW(t.append({{QStringLiteral("DayWeight"), QStringLiteral("heavy")}}), DataError);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Totals")).toInt(), 2);
}
