#include "app/errors.h"
#include "app/notifier.h"
#include "db/database.h"
#include "db/sqlitefile.h"
#include "editors/goodschecks.h"
#include "editors/keypadeditor.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace dm;

namespace {

class KeypadEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale::c());
        ASSERT_TRUE(dir.isValid());
        createTemplateDatabase(dir.filePath(QStringLiteral("Base.sqlite")));
        db.open(dir.filePath(QStringLiteral("Base.sqlite")));
        InstallGoodsChecks(db, notifier);
    }
    void exec(const QString& sql) {
        QSqlQuery q(db.connection());
        ASSERT_TRUE(q.exec(sql)) << q.lastError().text().toStdString();
    }
    qint64 scalar(const QString& sql) {
        QSqlQuery q(db.connection());
        return q.exec(sql) && q.next() ? q.value(0).toLongLong() : -1;
    }
    // PLU of Keys rows first..last by ID, as the file holds them.
    QList<qint64> storedKeys(int first, int last) {
        QList<qint64> plus;
        QSqlQuery q(db.connection());
        q.exec(QStringLiteral("SELECT PLU FROM Keys WHERE ID BETWEEN %1 AND %2 ORDER BY ID")
                   .arg(first)
                   .arg(last));
        while (q.next())
            plus << q.value(0).toLongLong();
        return plus;
    }
    void addGoods(qint64 plu, const QString& name) {
        db.products().append({{QStringLiteral("PLU"), plu},
                              {QStringLiteral("RVTName"), name},
                              {QStringLiteral("Price"), QStringLiteral("1.00")}});
    }
    static QList<qint64> repeated(qint64 v, int n) { return QList<qint64>(n, v); }

    QTemporaryDir dir;
    Database db;
    CollectingNotifier notifier;
};

} // namespace

TEST_F(KeypadEditorTest, NewKeypadsComeWithTheirKeysInPlace) {
    EXPECT_EQ(addKeypad(db), 2);
    EXPECT_EQ(addKeypad(db), 3);
    EXPECT_EQ(db.keypads().currentValue(QStringLiteral("ID")).toInt(), 3);
    EXPECT_EQ(db.keypads().currentValue(QStringLiteral("Name")).toString(),
              QStringLiteral("Keypad 3"));
    ASSERT_EQ(db.keys().recordCount(), 99);
    // Keypad 2's keys are the 33 rows from position 33, IDs 201 to 233.
    for (int n = 1; n <= kKeypadKeys; ++n) {
        EXPECT_EQ(keyRow(db.keys(), 2, n), 32 + n);
        EXPECT_EQ(db.keys().value(32 + n, KeysDataSet::ID).toInt(), 200 + n);
    }
    EXPECT_EQ(storedKeys(201, 333), repeated(0, 66));
}

TEST_F(KeypadEditorTest, NewKeypadEmptiesRowsLeftOverAndStopsAt255) {
    exec(QStringLiteral("INSERT INTO Keys (ID, PLU) VALUES (205, 9)"));
    db.keys().refresh();
    ASSERT_EQ(addKeypad(db), 2);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Keys WHERE ID BETWEEN 201 AND 233")), 33);
    EXPECT_EQ(storedKeys(205, 205), QList<qint64>{0});

    exec(QStringLiteral("INSERT INTO KeyPads (ID, Name) VALUES (255, 'Last')"));
    db.keypads().refresh();
    EXPECT_THROW(addKeypad(db), UserError);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM KeyPads")), 3);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Keys")), 66);
}

TEST_F(KeypadEditorTest, SingleKeysClearAndFillTouchOnlyTheirKeypad) {
    addKeypad(db);
    addKeypad(db);
    for (int keypad : {1, 2, 3})
        for (int n = 1; n <= kKeypadKeys; ++n)
            setKey(db.keys(), keypad, n, keypad * 1000 + n);
    ASSERT_TRUE(setKey(db.keys(), 2, 7, 123));
    EXPECT_EQ(storedKeys(207, 207), QList<qint64>{123});
    EXPECT_EQ(keypadPlus(db.keys(), 2)[6], 123);

    clearKeypad(db, 3);
    EXPECT_EQ(storedKeys(301, 333), repeated(0, 33));
    EXPECT_EQ(storedKeys(206, 208), (QList<qint64>{2006, 123, 2008}));
    EXPECT_EQ(storedKeys(133, 133), QList<qint64>{1033});
}

TEST_F(KeypadEditorTest, AutofillBindsTheGoodsInTheirShownOrderAndClearsTheRest) {
    struct Case {
        int goods;
        int bound;
        int currentAfter;
    };
    const Case cases[] = {{5, 5, 4}, {40, 33, 33}, {0, 0, -1}};
    for (const Case& c : cases) {
        db.products().removeAll();
        // Names run against the PLUs, so the name order is the PLU order backwards.
        for (int i = 1; i <= c.goods; ++i)
            addGoods(i, QStringLiteral("Goods %1").arg(100 - i));
        db.products().setSortField(QStringLiteral("RVTName"));
        for (int n = 1; n <= kKeypadKeys; ++n)
            setKey(db.keys(), 1, n, 77);

        EXPECT_EQ(autofillKeypad(db, 1), c.bound);
        QList<qint64> expected;
        for (int n = 1; n <= kKeypadKeys; ++n)
            expected << (n <= c.bound ? c.goods + 1 - n : 0);
        EXPECT_EQ(storedKeys(101, 133), expected) << c.goods;
        EXPECT_EQ(db.products().currentRow(), c.currentAfter) << c.goods;
    }
}

TEST_F(KeypadEditorTest, KeysFollowTheirIdWhereAKeypadIsShortOfRows) {
    addKeypad(db);
    exec(QStringLiteral("DELETE FROM Keys WHERE ID = 105"));
    db.keys().refresh();
    // Position 33 now holds key 2 of keypad 2; key 1 is found by its ID.
    EXPECT_EQ(keyRow(db.keys(), 2, 1), 32);
    EXPECT_TRUE(setKey(db.keys(), 2, 1, 55));
    EXPECT_EQ(storedKeys(201, 202), (QList<qint64>{55, 0}));
    EXPECT_FALSE(setKey(db.keys(), 1, 5, 66));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Keys WHERE PLU = 66")), 0);
    EXPECT_EQ(keypadPlus(db.keys(), 1)[4], 0);
    EXPECT_EQ(keypadPlus(db.keys(), 9), KeypadPlus{});
}

TEST_F(KeypadEditorTest, NameLineNamesTheGoodsOrSaysWhyNot) {
    addGoods(123, QStringLiteral("Cheese"));
    struct Case {
        int key;
        qint64 plu;
        QString line;
    };
    const Case cases[] = {
        {7, 123, QStringLiteral("#7 Cheese")},
        {3, 55, QStringLiteral("#3 Item not found")},
        {1, 0, QStringLiteral("#1 Item not set")},
        {33, -4, QStringLiteral("#33 Item not set")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(keyNameLine(c.key, c.plu, db.products()), c.line);
    EXPECT_EQ(keyCaption(123), QStringLiteral("123"));
    EXPECT_EQ(keyCaption(0), QString());
}

TEST(GoodsDragPayload, CarriesPluAndNameAndRefusesAnythingElse) {
    for (const DraggedGoods& g :
         {DraggedGoods{123, QStringLiteral("Cheese \"Gouda\"")}, DraggedGoods{99999999, {}}}) {
        const auto back = readGoodsDragPayload(goodsDragPayload(g));
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(back->plu, g.plu);
        EXPECT_EQ(back->name, g.name);
    }
    const QByteArray refused[] = {
        "",
        "123",
        "[]",
        "{}",
        R"({"plu":12})",
        R"({"plu":-1,"name":null})",
        R"({"plu":1.5,"name":null})",
        R"({"plu":100000000,"name":null})",
        R"({"plu":"12","name":null})",
        R"({"plu":12,"name":7})",
        R"({"plu":12,"name":"a")",
        QByteArray(R"({"plu":12,"name":")") + QByteArray(5000, 'x') + QByteArray(R"("})"),
    };
    for (const QByteArray& bytes : refused)
        EXPECT_FALSE(readGoodsDragPayload(bytes).has_value()) << bytes.left(40).toStdString();
}
