#include "app/gui/mainwindow.h"
#include "app/inifile.h"
#include "db/database.h"
#include "editors/gui/totalspage.h"
#include "guisupport.h"
#include "testsupport.h"
#include "totalsrows.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTest>
#include <gtest/gtest.h>

using namespace dm;
using dm::gui::TForm1;
using dm::gui::TotalsPage;

namespace {

// The totals page of a real window, shown, over a database with six totals rows.
class TotalsPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(writeIniValue(folder.path(QStringLiteral("System/terminal.ini")),
                                  QStringLiteral("Global"), QStringLiteral("Language"),
                                  QStringLiteral("ENG")));
        dbPath = folder.path(QStringLiteral("Data/Base.sqlite"));
        QDir().mkpath(folder.path(QStringLiteral("Data")));
        ASSERT_TRUE(QFile::copy(folder.path(QStringLiteral("System/Default.sqlite")), dbPath));
        QFile::setPermissions(dbPath, QFile::ReadOwner | QFile::WriteOwner);
        test::writeTotals(dbPath, {{"Shop 1", 120, "Pears", "2016-02-01 07:59:59"},
                                   {"Shop 1", 12, "Apples", "2016-02-01 08:00:00"},
                                   {"Shop 2", 5, "apricots", "2016-02-10 12:00:00"},
                                   {"Shop 2", 31, "Plums", "2016-02-29 20:00:00"},
                                   {"miniSD", 7, "Abalone", "2016-03-02 09:00:00"},
                                   {"miniSD", 44, "Cherries", "2016-03-05 09:00:00"}});

        form = std::make_unique<TForm1>(ProgramFolder(folder.root()));
        test::keepDiscoveryQuiet(*form);
        const auto collect = [this](const QString& e) { errors.append(e); };
        form->setErrorReporter(collect);
        page = form->totalsPage();
        page->reportError = collect;
        page->ask = [this](const QString& caption, const QString& text) {
            questions << caption + u'|' + text;
            return answer;
        };
        form->FormCreate();
        form->pageControl()->setCurrentIndex(TForm1::TotalsPageIndex);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void TearDown() override {
        EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
        form.reset();
    }

    QList<int> shownPlus() const {
        QAbstractItemModel* m = page->TotalsGrid->model();
        QList<int> plus;
        for (int r = 0; r < m->rowCount(); ++r)
            plus << m->index(r, TotalsDataSet::PLU).data().toInt();
        return plus;
    }
    QList<int> storedPlus() {
        Database fresh;
        fresh.open(dbPath);
        QList<int> plus;
        for (int r = 0; r < fresh.totals().recordCount(); ++r)
            plus << fresh.totals().value(r, TotalsDataSet::PLU).toInt();
        return plus;
    }
    void clickTitle(int column) {
        QHeaderView* h = page->TotalsGrid->horizontalHeader();
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                          QPoint(h->sectionViewportPosition(column) + 5, h->height() / 2));
    }
    void clickRow(int row, Qt::KeyboardModifiers mods = {}) {
        QTableView* g = page->TotalsGrid;
        const QRect r = g->visualRect(g->model()->index(row, TotalsDataSet::Name));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, mods, r.center());
    }
    void type(const QString& text) {
        page->TotalsSearchEdit->setFocus();
        QTest::keyClicks(page->TotalsSearchEdit, text);
    }

    test::ScratchProgramFolder folder;
    QString dbPath;
    QStringList errors;
    QStringList questions;
    bool answer = true;
    std::unique_ptr<TForm1> form;
    TotalsPage* page = nullptr;
};

const QList<int> kAll{120, 12, 5, 31, 7, 44};

TEST_F(TotalsPageTest, SearchInThePluColumn) {
    ASSERT_EQ(page->TotalsSearchCombo->currentIndex(), 1);
    EXPECT_TRUE(page->TotalsGrid->editTriggers() == QAbstractItemView::NoEditTriggers);
    type(QStringLiteral("12"));
    EXPECT_EQ(shownPlus(), QList<int>{12}) << "12 is not 120";
    EXPECT_TRUE(page->DeleteTotalsButton->isEnabled());

    type(QStringLiteral("a-"));
    EXPECT_EQ(page->TotalsSearchEdit->text(), QStringLiteral("12"));
    type(QStringLiteral("3456789"));
    EXPECT_EQ(page->TotalsSearchEdit->text(), QStringLiteral("12345678")) << "eight at most";
    EXPECT_TRUE(shownPlus().isEmpty());
    EXPECT_FALSE(page->DeleteTotalsButton->isEnabled());

    // Another column empties the search and shows every row again.
    page->TotalsSearchCombo->setFocus();
    QTest::keyClick(page->TotalsSearchCombo, Qt::Key_Down);
    ASSERT_EQ(page->TotalsSearchCombo->currentIndex(), 2);
    EXPECT_TRUE(page->TotalsSearchEdit->text().isEmpty());
    EXPECT_EQ(shownPlus(), kAll);
    EXPECT_TRUE(page->DeleteTotalsButton->isEnabled());

    type(QStringLiteral("aPr"));
    EXPECT_EQ(shownPlus(), QList<int>{5});
    type(QStringLiteral("icots and more"));
    EXPECT_EQ(page->TotalsSearchEdit->text().size(), 17) << "no limit outside the PLU column";
}

TEST_F(TotalsPageTest, PeriodNarrowsTheRowsAndKeepsItsOrder) {
    page->TotalsDate1->setDate(QDate(2016, 2, 1));
    // A start without an end: the end takes the start.
    EXPECT_EQ(TotalsPage::dateOf(page->TotalsDate2), QDate(2016, 2, 1));
    EXPECT_EQ(page->TotalsTime2->time(), QTime(0, 0));
    EXPECT_TRUE(shownPlus().isEmpty());

    page->TotalsTime1->setTime(QTime(8, 0));
    EXPECT_EQ(page->TotalsTime2->time(), QTime(8, 0));
    EXPECT_EQ(shownPlus(), QList<int>{12});

    page->TotalsDate2->setDate(QDate(2016, 2, 29));
    page->TotalsTime2->setTime(QTime(20, 0));
    EXPECT_EQ(shownPlus(), (QList<int>{12, 5, 31}));

    // A start later than the end moves the end to it.
    page->TotalsDate1->setDate(QDate(2016, 3, 2));
    page->TotalsTime1->setTime(QTime(9, 0));
    EXPECT_EQ(TotalsPage::dateOf(page->TotalsDate2), QDate(2016, 3, 2));
    EXPECT_EQ(page->TotalsTime2->time(), QTime(9, 0));
    EXPECT_EQ(shownPlus(), QList<int>{7});

    // Search and period together; the Delete key empties a date.
    page->TotalsDate2->setDate(QDate(2016, 3, 31));
    page->TotalsDate1->setFocus();
    QTest::keyClick(page->TotalsDate1, Qt::Key_Delete);
    EXPECT_TRUE(TotalsPage::dateOf(page->TotalsDate1).isNull());
    type(QStringLiteral("7"));
    EXPECT_EQ(shownPlus(), QList<int>{7});
    page->TotalsSearchEdit->clear();
    EXPECT_EQ(shownPlus(), kAll);

    page->TotalsDate2->setFocus();
    QTest::keyClick(page->TotalsDate2, Qt::Key_Delete);
    EXPECT_EQ(shownPlus(), kAll);

    // Typing into an empty date starts from today's.
    QTest::keyClick(page->TotalsDate2, Qt::Key_1);
    EXPECT_FALSE(TotalsPage::dateOf(page->TotalsDate2).isNull());
    EXPECT_GT(TotalsPage::dateOf(page->TotalsDate2).year(), 2016);
    EXPECT_EQ(shownPlus(), kAll);
}

TEST_F(TotalsPageTest, TitleClickSortsAndSecondClickRestoresNaturalOrder) {
    clickTitle(TotalsDataSet::PLU);
    EXPECT_EQ(shownPlus(), (QList<int>{5, 7, 12, 31, 44, 120}));
    EXPECT_LE(page->TotalsGrid->selectionModel()->selectedRows().size(), 1)
        << "a title click selects no rows to delete";
    clickTitle(TotalsDataSet::Name);
    EXPECT_EQ(shownPlus(), (QList<int>{7, 12, 5, 44, 120, 31}));
    clickTitle(TotalsDataSet::PLU);
    clickTitle(TotalsDataSet::PLU);
    EXPECT_EQ(shownPlus(), kAll);
}

TEST_F(TotalsPageTest, DeletingThreeSelectedRowsAsksOnce) {
    clickRow(1);
    clickRow(3, Qt::ControlModifier);
    clickRow(4, Qt::ControlModifier);
    QTest::mouseClick(page->DeleteTotalsButton, Qt::LeftButton);
    EXPECT_EQ(questions, QStringList{QStringLiteral("Delete item|Delete items?")});
    EXPECT_EQ(shownPlus(), (QList<int>{120, 5, 44}));
    EXPECT_EQ(storedPlus(), (QList<int>{120, 5, 44}));
}

TEST_F(TotalsPageTest, DeletingOneRowNamesItAndNoKeepsIt) {
    clickRow(2);
    answer = false;
    page->TotalsGrid->setFocus();
    QTest::keyClick(page->TotalsGrid, Qt::Key_Delete);
    EXPECT_EQ(questions,
              QStringList{QStringLiteral("Delete item|Delete item?\r\nPLU: 5\r\nName: apricots")});
    EXPECT_EQ(storedPlus(), kAll);

    answer = true;
    QTest::keyClick(page->TotalsGrid, Qt::Key_Delete);
    EXPECT_EQ(storedPlus(), (QList<int>{120, 12, 31, 7, 44}));
}

TEST_F(TotalsPageTest, DeletingOneRowDeletesTheRowTheQuestionNames) {
    // Apples selected, Plums current: the ctrl-click that takes Plums out of the
    // selection leaves it the current row.
    clickRow(1);
    clickRow(3, Qt::ControlModifier);
    clickRow(3, Qt::ControlModifier);
    QList<int> selected;
    for (const QModelIndex& i : page->TotalsGrid->selectionModel()->selectedRows())
        selected << i.row();
    ASSERT_EQ(selected, QList<int>{1});
    ASSERT_EQ(page->TotalsGrid->currentIndex().row(), 3);

    QTest::mouseClick(page->DeleteTotalsButton, Qt::LeftButton);
    EXPECT_EQ(questions,
              QStringList{QStringLiteral("Delete item|Delete item?\r\nPLU: 31\r\nName: Plums")});
    EXPECT_EQ(storedPlus(), (QList<int>{120, 12, 5, 7, 44}));
}

TEST_F(TotalsPageTest, OnlyKeysThatTypeOrStepPutADateIntoAnEmptyOne) {
    // The keys as a keyboard delivers them, with the text they type.
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* text;
    } idle[] = {{Qt::Key_Shift, Qt::ShiftModifier, ""},
                {Qt::Key_Control, Qt::ControlModifier, ""},
                {Qt::Key_Alt, Qt::AltModifier, ""},
                {Qt::Key_Meta, Qt::MetaModifier, ""},
                {Qt::Key_AltGr, {}, ""},
                {Qt::Key_CapsLock, {}, ""},
                {Qt::Key_Left, {}, ""},
                {Qt::Key_Right, {}, ""},
                {Qt::Key_Home, {}, ""},
                {Qt::Key_End, {}, ""},
                {Qt::Key_F5, {}, ""},
                {Qt::Key_Insert, {}, ""},
                {Qt::Key_Backspace, {}, "\b"},
                {Qt::Key_Escape, {}, "\x1b"},
                {Qt::Key_Return, {}, "\r"},
                {Qt::Key_C, Qt::ControlModifier, "\x03"},
                {Qt::Key_1, Qt::AltModifier, "1"}};
    QDateEdit* date = page->TotalsDate1;
    for (const auto& k : idle) {
        date->setFocus();
        for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent event(type, k.key, k.modifiers, QString::fromLatin1(k.text));
            QCoreApplication::sendEvent(date, &event);
        }
        EXPECT_TRUE(TotalsPage::dateOf(date).isNull()) << k.key;
    }
    // Shift+Tab moves on from the empty date and leaves it empty.
    date->setFocus();
    QTest::keyClick(date, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(TotalsPage::dateOf(date).isNull());
    EXPECT_EQ(shownPlus(), kAll);

    for (Qt::Key key : {Qt::Key_3, Qt::Key_Up}) {
        TotalsPage::setDateOf(date, QDate());
        date->setFocus();
        QTest::keyClick(date, key);
        EXPECT_FALSE(TotalsPage::dateOf(date).isNull()) << key;
        EXPECT_GT(TotalsPage::dateOf(date).year(), 2016) << key;
    }
}

TEST_F(TotalsPageTest, DeletingTheLastShownRowDisablesDelete) {
    type(QStringLiteral("31"));
    ASSERT_EQ(shownPlus(), QList<int>{31});
    QTest::mouseClick(page->DeleteTotalsButton, Qt::LeftButton);
    EXPECT_TRUE(shownPlus().isEmpty());
    EXPECT_FALSE(page->DeleteTotalsButton->isEnabled());
    EXPECT_EQ(storedPlus(), (QList<int>{120, 12, 5, 7, 44}));

    // With nothing shown, Delete asks nothing.
    questions.clear();
    page->TotalsGrid->setFocus();
    QTest::keyClick(page->TotalsGrid, Qt::Key_Delete);
    EXPECT_TRUE(questions.isEmpty());
}

} // namespace
