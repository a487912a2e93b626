#include "app/errors.h"
#include "db/database.h"
#include "editors/ticketeditor.h"
#include "testsupport.h"

#include <QFile>
#include <QSet>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace dm;

namespace {

struct EditCase {
    const char* what;
    QString before;
    QString after;
    int limit;
    bool digits;
    bool taken;
};

class TypedEditTest : public ::testing::TestWithParam<EditCase> {};

TEST_P(TypedEditTest, FollowsTheTypingRules) {
    const EditCase& c = GetParam();
    EXPECT_EQ(AcceptsTypedEdit(c.before, c.after, c.limit, c.digits), c.taken) << c.what;
}

const QString k16 = QStringLiteral("abcdefghijklmnop");
const QString k19 = QStringLiteral("abcdefghijklmnopqrs");

INSTANTIATE_TEST_SUITE_P(
    Cases, TypedEditTest,
    ::testing::Values(
        EditCase{"the 16th character fits", k16.left(15), k16, 16, false, true},
        EditCase{"a 17th character does not", k16, k16 + u'q', 16, false, false},
        EditCase{"a paste beyond the limit", QString(), k19, 16, false, false},
        EditCase{"a loaded long text can be cut", k19, k19.left(18), 16, false, true},
        EditCase{"and is taken as it stands", k19, k19, 16, true, true},
        EditCase{"but never grows", k19.left(18), k19, 16, false, false},
        EditCase{"nor keeps its length with a new character", k19,
                 QStringLiteral("Xbcdefghijklmnopqrs"), 16, false, false},
        EditCase{"digits are typed", QStringLiteral("12"), QStringLiteral("123"), 6, true, true},
        EditCase{"a letter is not", QStringLiteral("12"), QStringLiteral("12a"), 6, true, false},
        EditCase{"nor a pasted mix", QString(), QStringLiteral("1 2"), 6, true, false},
        EditCase{"nor other digits than 0 to 9", QString(), QString(QChar(0x0663)), 6, true, false},
        EditCase{"a seventh digit is refused", QStringLiteral("123456"), QStringLiteral("1234567"),
                 6, true, false},
        EditCase{"a stored letter may stay while digits are removed", QStringLiteral("1a23"),
                 QStringLiteral("1a2"), 6, true, true},
        EditCase{"emptying is always taken", QStringLiteral("12"), QString(), 6, true, true}));

TEST(TicketLimits, RedThresholdsFollowTheLine) {
    const struct {
        int n;
        int typing;
        int red;
    } rows[] = {{1, 16, 18}, {2, 25, 27}, {3, 32, 36}, {5, 32, 36}, {6, 32, 36}, {8, 32, 36}};
    for (const auto& r : rows) {
        const TicketTextLimits l = TicketLineLimits(r.n);
        EXPECT_EQ(l.typing, r.typing) << r.n;
        EXPECT_EQ(l.red, r.red) << r.n;
        EXPECT_FALSE(IsOverRedThreshold(QString(r.red, u'x'), l)) << r.n;
        EXPECT_TRUE(IsOverRedThreshold(QString(r.red + 1, u'x'), l)) << r.n;
    }
    EXPECT_EQ(OperatorNameLimits().typing, 32);
    EXPECT_EQ(OperatorNameLimits().red, 36);
    EXPECT_THROW(TicketLineLimits(0), std::out_of_range);
    EXPECT_THROW(TicketLineLimits(9), std::out_of_range);
}

TEST(DefaultPasswords, NineDistinctSingleDigits) {
    QSet<QString> seen;
    for (int row = 0; row <= 8; ++row) {
        const QString p = DefaultPassword(row);
        ASSERT_EQ(p.size(), 1);
        EXPECT_TRUE(p[0].isDigit());
        seen.insert(p);
    }
    EXPECT_EQ(seen.size(), 9);
}

struct PasswordCase {
    const char* what;
    std::array<QString, 8> passwords;
    std::array<FieldColour, 8> colours;
    bool empty;
    bool match;
};

class PasswordCheckTest : public ::testing::TestWithParam<PasswordCase> {};

TEST_P(PasswordCheckTest, ColoursAndWarnings) {
    const PasswordCase& c = GetParam();
    const PasswordCheck check = CheckOperatorPasswords(c.passwords);
    for (size_t i = 0; i < 8; ++i)
        EXPECT_EQ(check.colours[i], c.colours[i]) << c.what << ", field " << i + 1;
    EXPECT_EQ(check.emptyError, c.empty) << c.what;
    EXPECT_EQ(check.matchError, c.match) << c.what;
}

constexpr auto N = FieldColour::Normal;
constexpr auto R = FieldColour::Red;
constexpr auto P = FieldColour::Pink;
const QString s1 = QStringLiteral("1"), s2 = QStringLiteral("2"), s3 = QStringLiteral("3"),
              s4 = QStringLiteral("4"), s5 = QStringLiteral("5"), s6 = QStringLiteral("6"),
              s7 = QStringLiteral("7"), s8 = QStringLiteral("8"), e;

INSTANTIATE_TEST_SUITE_P(Cases, PasswordCheckTest,
                         ::testing::Values(PasswordCase{"the defaults",
                                                        {s1, s2, s3, s4, s5, s6, s7, s8},
                                                        {N, N, N, N, N, N, N, N},
                                                        false,
                                                        false},
                                           PasswordCase{"one empty",
                                                        {s1, s2, e, s4, s5, s6, s7, s8},
                                                        {N, N, P, N, N, N, N, N},
                                                        true,
                                                        false},
                                           PasswordCase{"two equal",
                                                        {s1, s7, s3, s4, s7, s6, s7 + s7, s8},
                                                        {N, R, N, N, R, N, N, N},
                                                        false,
                                                        true},
                                           PasswordCase{"two empty are pink, not red",
                                                        {e, s2, s3, e, s5, s6, s7, s8},
                                                        {P, N, N, P, N, N, N, N},
                                                        true,
                                                        false},
                                           PasswordCase{"three equal and one empty",
                                                        {s4, s4, e, s4, s5, s6, s7, s8},
                                                        {R, R, P, R, N, N, N, N},
                                                        true,
                                                        true}));

// A copy of the template database, open.
class TicketStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("Base.sqlite"));
        ASSERT_TRUE(QFile::copy(
            test::stagedProgramFolder() + QStringLiteral("/System/Default.sqlite"), path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        db.open(path);
    }
    void sql(const QString& statement) {
        QSqlQuery q(db.connection());
        ASSERT_TRUE(q.exec(statement)) << statement.toStdString();
    }
    // The rows as they are in the file, read through a connection of their own.
    QStringList fileRows(const QString& table, const QString& field) {
        Database fresh;
        fresh.open(path);
        QSqlQuery q(fresh.connection());
        EXPECT_TRUE(q.exec(
            QStringLiteral("SELECT \"ID\", \"%1\" FROM \"%2\" ORDER BY \"ID\"").arg(field, table)));
        QStringList rows;
        while (q.next())
            rows << q.value(0).toString() + u'=' + q.value(1).toString();
        return rows;
    }

    QTemporaryDir dir;
    QString path;
    Database db;
};

TEST_F(TicketStoreTest, LoadingStoresOnlyTheMissingPasswords) {
    sql(QStringLiteral("UPDATE \"Salesmen\" SET \"Password\" = '4711' WHERE \"ID\" = 0"));
    sql(QStringLiteral("UPDATE \"Salesmen\" SET \"Password\" = NULL WHERE \"ID\" = 3"));
    sql(QStringLiteral("UPDATE \"Salesmen\" SET \"Password\" = '55' WHERE \"ID\" = 5"));
    sql(QStringLiteral("UPDATE \"TicketLines\" SET \"Data\" = NULL WHERE \"ID\" = 2"));
    db.salesmen().refresh();
    db.ticket().refresh();
    const QStringList linesBefore = fileRows(QStringLiteral("TicketLines"), QStringLiteral("Data"));
    const QStringList namesBefore = fileRows(QStringLiteral("Salesmen"), QStringLiteral("Name"));

    const TicketPageTexts t = LoadTicketPageTexts(db);
    EXPECT_EQ(t.adminPassword, QStringLiteral("4711"));
    EXPECT_EQ(t.passwords[2], DefaultPassword(3));
    EXPECT_EQ(t.passwords[4], QStringLiteral("55"));
    EXPECT_TRUE(t.lines[1].isEmpty());
    EXPECT_EQ(t.names[0], QStringLiteral("Operator 1"));

    EXPECT_EQ(fileRows(QStringLiteral("Salesmen"), QStringLiteral("Password")),
              (QStringList{QStringLiteral("0=4711"), QStringLiteral("1=1"), QStringLiteral("2=2"),
                           QStringLiteral("3=3"), QStringLiteral("4=4"), QStringLiteral("5=55"),
                           QStringLiteral("6=6"), QStringLiteral("7=7"), QStringLiteral("8=8")}));
    EXPECT_EQ(fileRows(QStringLiteral("TicketLines"), QStringLiteral("Data")), linesBefore);
    EXPECT_EQ(fileRows(QStringLiteral("Salesmen"), QStringLiteral("Name")), namesBefore);
}

TEST_F(TicketStoreTest, StoresFindTheirRowByIdWhateverTheOrder) {
    // Rows out of order and one missing: every store must land on its own ID.
    sql(QStringLiteral("DELETE FROM \"TicketLines\" WHERE \"ID\" IN (1, 7)"));
    sql(QStringLiteral("INSERT INTO \"TicketLines\" (\"ID\", \"Data\") VALUES (1, 'first')"));
    db.ticket().refresh();
    for (int n = 1; n <= 8; ++n)
        StoreTicketLine(db, n, QStringLiteral("line %1").arg(n));
    StoreOperatorName(db, 4, QStringLiteral("Anna"));
    StoreOperatorPassword(db, 0, QStringLiteral("9"));
    StoreOperatorPassword(db, 8, QStringLiteral("88"));

    QStringList expected;
    for (int n = 1; n <= 8; ++n)
        expected << QStringLiteral("%1=line %1").arg(n);
    EXPECT_EQ(fileRows(QStringLiteral("TicketLines"), QStringLiteral("Data")), expected);
    const QStringList names = fileRows(QStringLiteral("Salesmen"), QStringLiteral("Name"));
    EXPECT_EQ(names.value(4), QStringLiteral("4=Anna"));
    EXPECT_EQ(names.value(3), QStringLiteral("3=Operator 3"));
    const QStringList passwords = fileRows(QStringLiteral("Salesmen"), QStringLiteral("Password"));
    EXPECT_EQ(passwords.value(0), QStringLiteral("0=9"));
    EXPECT_EQ(passwords.value(8), QStringLiteral("8=88"));
    EXPECT_EQ(passwords.value(7), QStringLiteral("7="));
}

TEST_F(TicketStoreTest, RefusedStoreThrowsAndKeepsTheRow) {
    sql(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON \"TicketLines\" "
                       "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    const QStringList before = fileRows(QStringLiteral("TicketLines"), QStringLiteral("Data"));
    EXPECT_THROW(StoreTicketLine(db, 3, QStringLiteral("new")), DataError);
    EXPECT_EQ(fileRows(QStringLiteral("TicketLines"), QStringLiteral("Data")), before);
    EXPECT_EQ(db.ticket().lookup(QStringLiteral("ID"), 3, QStringLiteral("Data")).toString(),
              before.value(2).section(u'=', 1));
}

} // namespace
