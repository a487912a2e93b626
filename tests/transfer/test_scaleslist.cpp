#include "comm/scaleslist.h"

#include "transfertest.h"

using namespace dm;
using namespace dm::test;

namespace {

class ScalesListTest : public TransferTest {
protected:
    // Name|IP|State|Keypad of every row.
    QStringList scaleRows() const {
        QStringList out;
        for (const QString& r : rows(QStringLiteral("ScalesSettings")))
            out << r.section(u'|', 1);
        return out;
    }
};

TEST_F(ScalesListTest, RefreshMarksFoundScalesOnlineAndAddsNewOnes) {
    addKeypad(QStringLiteral("Second"), 1);
    addScaleRow(QStringLiteral("Kitchen"), QStringLiteral("10.0.0.5"), QStringLiteral("Second"));
    addScaleRow(QStringLiteral("Bakery"), QStringLiteral("10.0.0.6"), QStringLiteral("Second"));
    // A row whose name the user emptied: named again, never joined by a second row.
    addScaleRow(QString(), QStringLiteral("10.0.0.7"), QString());
    db.keypads().setCurrentRow(1);

    for (int pass = 0; pass < 2; ++pass) {
        const ScalesRefresh r = RefreshScalesList(
            db, {QStringLiteral("10.0.0.5"), QStringLiteral("COM3"), QStringLiteral("10.0.0.7")});
        EXPECT_EQ(scaleRows(), (QStringList{
                                   QStringLiteral("Kitchen|10.0.0.5|Online|Second"),
                                   QStringLiteral("Bakery|10.0.0.6|Offline|Second"),
                                   QStringLiteral("New|10.0.0.7|Online|Keypad 1"),
                                   QStringLiteral("New|COM3|Online|Keypad 1"),
                               }))
            << "pass " << pass;
        EXPECT_EQ(r.keypadNames,
                  (QStringList{QStringLiteral("Keypad 1"), QStringLiteral("Second")}));
        EXPECT_TRUE(r.deleteEnabled);
        EXPECT_EQ(db.keypads().currentRow(), 1);
    }

    // Nothing found: every scale stays in the list, Offline.
    RefreshScalesList(db, {});
    for (const QString& row : scaleRows())
        EXPECT_EQ(row.section(u'|', 2, 2), QStringLiteral("Offline")) << row.toStdString();
}

TEST_F(ScalesListTest, ChoiceItemsNameKnownScalesAndAddNewOnesAtOnce) {
    const int main = addKeypad(QStringLiteral("Main"), 1);
    ASSERT_GT(main, 1);
    addScaleRow(QStringLiteral("Kitchen"), QStringLiteral("192.168.1.20"), QStringLiteral("Main"));
    addScaleRow(QStringLiteral("Till"), QStringLiteral("192.168.1.21"), QStringLiteral("Gone"));
    const FoundScales found{
        {QStringLiteral("192.168.1.20"), QStringLiteral("192.168.1.21"), QStringLiteral("COM2"),
         QStringLiteral("192.168.1.22")},
        {QString(QChar(1)), QString(QChar(0)), QString(QChar(2)), QString(QChar(7))}};

    const QStringList items = PrepareScaleChoice(db, found);
    EXPECT_EQ(items, (QStringList{
                         QStringLiteral("Kitchen (IP: 192.168.1.20, Keypad: Main) ZUN"),
                         // A keypad name that no longer exists: the scale gets the first.
                         QStringLiteral("Till (IP: 192.168.1.21, Keypad: Keypad 1) VOLA"),
                         QStringLiteral("Новые (IP: COM2, Keypad: Keypad 1) QEL"),
                         QStringLiteral("Новые (IP: 192.168.1.22, Keypad: Keypad 1) "),
                     }));
    // The new scales' rows are there before anything is chosen, without a State.
    EXPECT_EQ(scaleRows().mid(2),
              (QStringList{QStringLiteral("New|COM2|<null>|Keypad 1"),
                           QStringLiteral("New|192.168.1.22|<null>|Keypad 1")}));
    // Known to the database now, they read as such the next time.
    EXPECT_EQ(PrepareScaleChoice(db, found).at(2),
              QStringLiteral("New (IP: COM2, Keypad: Keypad 1) QEL"));
}

TEST(ScaleChoiceTicks, SingleAndMultipleChoiceRules) {
    struct Step {
        const char* action; // "tick N", "untick N", "all", "none"
        QList<int> ticked;
        bool ok;
    };
    struct Case {
        bool single;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {true,
         {{"tick 0", {0}, true},
          {"tick 2", {2}, true},
          {"untick 2", {}, false},
          {"tick 9", {}, false},
          {"tick -1", {}, false}}},
        {false,
         {{"tick 0", {0}, true},
          {"tick 2", {0, 2}, true},
          {"untick 0", {2}, true},
          {"untick 2", {}, false},
          {"all", {0, 1, 2}, true},
          {"none", {}, false}}},
    };
    for (const Case& c : cases) {
        ScaleChoiceTicks ticks(3, c.single);
        EXPECT_FALSE(ticks.okEnabled());
        for (const Step& s : c.steps) {
            const QString a = QString::fromLatin1(s.action);
            if (a == QStringLiteral("all"))
                ticks.selectAll();
            else if (a == QStringLiteral("none"))
                ticks.selectNone();
            else
                ticks.change(a.section(u' ', 1).toInt(), a.startsWith(QStringLiteral("tick")));
            EXPECT_EQ(ticks.ticked(), s.ticked) << (c.single ? "single " : "multiple ") << s.action;
            EXPECT_EQ(ticks.okEnabled(), s.ok) << s.action;
        }
    }
}

TEST(ScalesList, DeleteQuestionNamesTheScale) {
    currentLanguageFile().clear();
    EXPECT_EQ(DeleteScaleCaption(), QStringLiteral("Delete Scales"));
    EXPECT_EQ(DeleteScaleQuestion(QStringLiteral("Kitchen"), QStringLiteral("COM3")),
              QStringLiteral("Delete scales\nKitchen IP: COM3\nfrom list?"));
}

TEST(ScalesList, TroubleshootingListKeepsBothDefaults) {
    currentLanguageFile().clear();
    const QStringList upload = TroubleshootingLines(TroubleshootingFor::Upload);
    const QStringList download = TroubleshootingLines(TroubleshootingFor::Download);
    ASSERT_EQ(upload.size(), 11);
    EXPECT_EQ(upload[0], QStringLiteral("Scales not found..."));
    EXPECT_EQ(upload[1], QString());
    EXPECT_EQ(upload[3], QStringLiteral("1. The scales is switched off"));
    EXPECT_EQ(download[3], QStringLiteral("1. The scales is swithed off"));
    EXPECT_EQ(upload[10], QStringLiteral("- data exchange is blocked by the firewall"));
    EXPECT_EQ(upload.mid(4), download.mid(4));
}

} // namespace
