#include "db/database.h"
#include "editors/totalsview.h"
#include "testsupport.h"
#include "totalsrows.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace dm;

namespace {

QDate ymd(int y, int m, int day) {
    return QDate(y, m, day);
}
QTime hms(int h, int m, int s = 0) {
    return QTime(h, m, s);
}

struct PeriodCase {
    const char* what;
    TotalsPeriod given;
    TotalsPeriod ordered;
    bool changed;
};

class PeriodOrderTest : public ::testing::TestWithParam<PeriodCase> {};

TEST_P(PeriodOrderTest, EndNeverBeforeStart) {
    const PeriodCase& c = GetParam();
    TotalsPeriod p = c.given;
    EXPECT_EQ(OrderTotalsPeriod(p), c.changed) << c.what;
    EXPECT_EQ(p.startDate, c.ordered.startDate) << c.what;
    EXPECT_EQ(p.startTime, c.ordered.startTime) << c.what;
    EXPECT_EQ(p.endDate, c.ordered.endDate) << c.what;
    EXPECT_EQ(p.endTime, c.ordered.endTime) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PeriodOrderTest,
    ::testing::Values(PeriodCase{"in order",
                                 {ymd(2016, 2, 1), hms(8, 0), ymd(2016, 2, 29), hms(20, 0)},
                                 {ymd(2016, 2, 1), hms(8, 0), ymd(2016, 2, 29), hms(20, 0)},
                                 false},
                      PeriodCase{"start after end",
                                 {ymd(2016, 3, 1), hms(8, 0), ymd(2016, 2, 29), hms(20, 0)},
                                 {ymd(2016, 3, 1), hms(8, 0), ymd(2016, 3, 1), hms(8, 0)},
                                 true},
                      PeriodCase{"same day, later start time",
                                 {ymd(2016, 2, 1), hms(9, 0), ymd(2016, 2, 1), hms(8, 59, 59)},
                                 {ymd(2016, 2, 1), hms(9, 0), ymd(2016, 2, 1), hms(9, 0)},
                                 true},
                      PeriodCase{"start only: the end takes it",
                                 {ymd(2016, 2, 1), hms(8, 0), QDate(), QTime()},
                                 {ymd(2016, 2, 1), hms(8, 0), ymd(2016, 2, 1), hms(8, 0)},
                                 true},
                      PeriodCase{"end only stays",
                                 {QDate(), QTime(), ymd(2016, 2, 1), hms(8, 0)},
                                 {QDate(), QTime(), ymd(2016, 2, 1), hms(8, 0)},
                                 false},
                      PeriodCase{"equal ends stay",
                                 {ymd(2016, 2, 1), hms(8, 0), ymd(2016, 2, 1), hms(8, 0)},
                                 {ymd(2016, 2, 1), hms(8, 0), ymd(2016, 2, 1), hms(8, 0)},
                                 false}));

TEST(TotalsSearchRules, KeysAndTextsPerColumn) {
    using C = TotalsSearchColumn;
    EXPECT_EQ(TotalsSearchLimit(C::PLU), 8);
    EXPECT_EQ(TotalsSearchLimit(C::Name), 0);
    EXPECT_EQ(TotalsSearchLimit(C::Scales), 0);
    const struct {
        C column;
        QChar key;
        bool taken;
    } keys[] = {{C::PLU, u'7', true},    {C::PLU, u'\b', true},         {C::PLU, u'a', false},
                {C::PLU, u' ', false},   {C::PLU, u'-', false},         {C::Name, u'a', true},
                {C::Scales, u'%', true}, {C::PLU, QChar(0x0661), false}};
    for (const auto& k : keys)
        EXPECT_EQ(TotalsSearchTakesKey(k.column, k.key), k.taken)
            << int(k.column) << " " << int(k.key.unicode());
    EXPECT_TRUE(TotalsSearchTakesText(C::PLU, QStringLiteral("12345678")));
    EXPECT_FALSE(TotalsSearchTakesText(C::PLU, QStringLiteral("123456789")));
    EXPECT_FALSE(TotalsSearchTakesText(C::PLU, QStringLiteral("12 OR 1=1")));
    EXPECT_TRUE(TotalsSearchTakesText(C::Name, QStringLiteral("it's 100% 'x'")));
}

TEST(TotalsSort, TitleClickTogglesBetweenFieldAndNaturalOrder) {
    const QString plu = QStringLiteral("PLU"), name = QStringLiteral("Name");
    EXPECT_EQ(TotalsSortAfterClick(QString(), plu), plu);
    EXPECT_EQ(TotalsSortAfterClick(plu, plu), QString());
    EXPECT_EQ(TotalsSortAfterClick(name, plu), plu);
}

TEST(TotalsDelete, QuestionNamesTheRowOrTheItems) {
    EXPECT_EQ(TotalsDeleteCaption(), QStringLiteral("Delete item"));
    EXPECT_EQ(TotalsDeleteQuestion(0, 12, QStringLiteral("Apples")),
              QStringLiteral("Delete item?\r\nPLU: 12\r\nName: Apples"));
    EXPECT_EQ(TotalsDeleteQuestion(1, 7, QVariant()),
              QStringLiteral("Delete item?\r\nPLU: 7\r\nName: "));
    EXPECT_EQ(TotalsDeleteQuestion(2, 12, QStringLiteral("Apples")),
              QStringLiteral("Delete items?"));
}

// The filter on the totals of a real database file.
class TotalsFilterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("Base.sqlite"));
        ASSERT_TRUE(QFile::copy(
            test::stagedProgramFolder() + QStringLiteral("/System/Default.sqlite"), path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        test::writeTotals(path, {{"Shop 1", 12, "Apples", "2016-02-01 08:00:00"},
                                 {"Shop 1", 120, "apricots", "2016-02-01 07:59:59"},
                                 {"shop 2", 112, "aBsinthe", "2016-02-29 20:00:00"},
                                 {"miniSD", 5, "Abalone", "2016-02-29 20:00:01"},
                                 {"Shop 10", 7, "Ябоки", "2016-01-15 10:00:00"},
                                 {"Shop 1", 13, "it's 100% x", ""}});
        db.open(path);
    }
    QList<int> shown(const TotalsFilter& f) {
        TotalsDataSet& totals = db.totals();
        totals.setFilter(TotalsRowFilter(f));
        QList<int> plus;
        for (int r = 0; r < totals.recordCount(); ++r)
            plus << totals.value(r, TotalsDataSet::PLU).toInt();
        return plus;
    }

    QTemporaryDir dir;
    QString path;
    Database db;
};

TEST_F(TotalsFilterTest, SearchAndPeriodMatches) {
    using C = TotalsSearchColumn;
    const TotalsPeriod none;
    const struct {
        const char* what;
        TotalsFilter filter;
        QList<int> plus;
    } cases[] = {
        {"no filter", {C::PLU, QString(), none}, {12, 120, 112, 5, 7, 13}},
        {"PLU 12 is not 120 or 112", {C::PLU, QStringLiteral("12"), none}, {12}},
        {"PLU with a leading zero", {C::PLU, QStringLiteral("012"), none}, {}},
        {"PLU text that is no number", {C::PLU, QStringLiteral("12 OR 1=1"), none}, {}},
        {"name prefix in any case", {C::Name, QStringLiteral("ab"), none}, {112, 5}},
        {"name prefix outside ASCII", {C::Name, QStringLiteral("яБ"), none}, {7}},
        {"quote and percent are plain characters",
         {C::Name, QStringLiteral("it's 100%"), none},
         {13}},
        {"percent is no wildcard", {C::Name, QStringLiteral("%"), none}, {}},
        {"scales prefix", {C::Scales, QStringLiteral("SHOP 1"), none}, {12, 120, 7, 13}},
        {"period bounds are inclusive to the second",
         {C::PLU, QString(), {ymd(2016, 2, 1), hms(8, 0), ymd(2016, 2, 29), hms(20, 0)}},
         {12, 112}},
        {"start only",
         {C::PLU, QString(), {ymd(2016, 2, 29), hms(20, 0), QDate(), QTime()}},
         {112, 5}},
        {"end only, empty time is midnight",
         {C::PLU, QString(), {QDate(), QTime(), ymd(2016, 2, 1), QTime()}},
         {7}},
        {"search and period together",
         {C::Scales,
          QStringLiteral("shop"),
          {ymd(2016, 2, 1), hms(0, 0), ymd(2016, 2, 29), hms(23, 59)}},
         {12, 120, 112}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shown(c.filter), c.plus) << c.what;
}

} // namespace
