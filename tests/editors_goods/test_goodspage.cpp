#include "app/gui/mainwindow.h"
#include "app/inifile.h"
#include "app/notifier.h"
#include "app/shellstate.h"
#include "db/database.h"
#include "editors/goodschecks.h"
#include "editors/gui/goodsdelegate.h"
#include "editors/gui/goodspage.h"
#include "editors/gui/totalspage.h"
#include "guisupport.h"
#include "testsupport.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTest>
#include <gtest/gtest.h>

using namespace dm;
using dm::gui::GoodsPage;
using dm::gui::TForm1;

namespace {

struct Question {
    QString caption;
    QString text;
};

// The goods page of a real window on a scratch program folder and a fresh database.
class GoodsPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale::c());
        ASSERT_TRUE(writeIniValue(folder.path(QStringLiteral("System/terminal.ini")),
                                  QStringLiteral("Global"), QStringLiteral("Language"),
                                  QStringLiteral("ENG")));
        form = std::make_unique<TForm1>(ProgramFolder(folder.root()));
        test::keepDiscoveryQuiet(*form);
        form->setErrorReporter([this](const QString& e) { errors.append(e); });
        form->setNotifier(&notifier);
        form->FormCreate();
        page = form->goodsPage();
        page->ask = [this](const QString& caption, const QString& text) {
            questions.append({caption, text});
            return answer;
        };
        page->reportError = [this](const QString& e) { errors.append(e); };
        form->show();
        ASSERT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    }
    void TearDown() override {
        form.reset();
        EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    }

    ProductsDataSet& goods() { return form->database().products(); }
    void add(qint64 plu, const QString& name, const QString& barcode = QString()) {
        goods().append({{QStringLiteral("PLU"), plu},
                        {QStringLiteral("RVTName"), name},
                        {QStringLiteral("Type"), WeightTypeText()},
                        {QStringLiteral("Price"), QStringLiteral("2.00")},
                        {QStringLiteral("Barcode"), barcode}});
        // As after a reload with goods.
        page->ProductsGrid->setEnabled(true);
        page->DeleteProductButton->setEnabled(true);
    }
    QList<qint64> shownPlus() {
        QList<qint64> plus;
        QAbstractItemModel* m = page->ProductsGrid->model();
        for (int r = 0; r < m->rowCount(); ++r)
            plus << m->index(r, ProductsDataSet::PLU).data().toLongLong();
        return plus;
    }
    qint64 stored(const QString& sql) {
        QSqlQuery q(form->database().connection());
        return q.exec(sql) && q.next() ? q.value(0).toLongLong() : -1;
    }
    void clickTitle(int field) {
        QHeaderView* header = page->ProductsGrid->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(field) + 5, 5));
    }
    QLineEdit* openEditor(int row, int field) {
        const QModelIndex index = page->ProductsGrid->model()->index(row, field);
        page->ProductsGrid->setCurrentIndex(index);
        page->ProductsGrid->edit(index);
        return qobject_cast<QLineEdit*>(page->gridDelegate()->openEditor());
    }

    test::ScratchProgramFolder folder;
    std::unique_ptr<TForm1> form;
    GoodsPage* page = nullptr;
    CollectingNotifier notifier;
    QStringList errors;
    QList<Question> questions;
    bool answer = true;
};

} // namespace

TEST_F(GoodsPageTest, NewTakesPluOneThenTheNextAfterAllGoodsEvenWhenASearchHidesThem) {
    EXPECT_FALSE(page->ProductsGrid->isEnabled());
    EXPECT_FALSE(page->DeleteProductButton->isEnabled());
    QTest::mouseClick(page->AddProductButton, Qt::LeftButton);
    EXPECT_EQ(shownPlus(), QList<qint64>{1});
    EXPECT_TRUE(page->ProductsGrid->isEnabled());
    EXPECT_TRUE(page->DeleteProductButton->isEnabled());

    add(5, QStringLiteral("Milk"));
    add(12, QStringLiteral("Bread"));
    page->SearchCombo->setCurrentIndex(int(0)); // PLU
    QTest::keyClicks(page->SearchEdit, QStringLiteral("5"));
    ASSERT_EQ(shownPlus(), QList<qint64>{5});

    QTest::mouseClick(page->AddProductButton, Qt::LeftButton);
    EXPECT_EQ(page->SearchEdit->text(), QString());
    EXPECT_EQ(shownPlus(), (QList<qint64>{1, 5, 12, 13}));
    EXPECT_EQ(goods().currentRow(), 3);
    EXPECT_EQ(page->ProductsGrid->currentIndex().row(), 3);
    EXPECT_EQ(page->ProductsGrid->selectionModel()->selectedRows().size(), 1);
    EXPECT_TRUE(notifier.messages().isEmpty()) << notifier.messages().join(u'\n').toStdString();
}

TEST_F(GoodsPageTest, CopyIsRefusedForGoodsWithABarcodeAndKeepsTheRestOtherwise) {
    struct Case {
        QString barcode;
        QStringList messages;
        qint64 count;
    };
    add(7, QStringLiteral("Sugar"), QStringLiteral("4600000000000"));
    add(3, QStringLiteral("Salt"));
    const Case cases[] = {
        {QStringLiteral("4600000000000"), {QStringLiteral("Barcode exists: 4600000000000")}, 2},
        {QString(), {}, 3},
    };
    for (const Case& c : cases) {
        notifier.clear();
        ASSERT_TRUE(goods().locate(QStringLiteral("Barcode"), c.barcode));
        QTest::mouseClick(page->CopyProductButton, Qt::LeftButton);
        EXPECT_EQ(notifier.messages(), c.messages);
        EXPECT_EQ(stored(QStringLiteral("SELECT COUNT(*) FROM Products")), c.count);
    }
    EXPECT_EQ(stored(QStringLiteral("SELECT COUNT(*) FROM Products WHERE PLU = 8 AND "
                                    "RVTName = 'Salt' AND Price = '2.00'")),
              1);
    EXPECT_EQ(goods().currentValue(QStringLiteral("PLU")).toLongLong(), 8);
}

TEST_F(GoodsPageTest, ThreeTitleClicksSortUpThenDownThenBackAndAnotherTitleClears) {
    for (qint64 plu : {3, 1, 2})
        add(plu, QStringLiteral("Goods %1").arg(4 - plu));
    QHeaderView* header = page->ProductsGrid->horizontalHeader();
    const QList<QList<qint64>> orders = {{1, 2, 3}, {3, 2, 1}, {3, 1, 2}};
    for (const QList<qint64>& order : orders) {
        clickTitle(ProductsDataSet::PLU);
        EXPECT_EQ(shownPlus(), order);
    }
    EXPECT_EQ(header->sortIndicatorSection(), -1);

    clickTitle(ProductsDataSet::PLU);
    EXPECT_EQ(goods().sortField(), QStringLiteral("PLU"));
    EXPECT_EQ(header->sortIndicatorSection(), int(ProductsDataSet::PLU));
    clickTitle(ProductsDataSet::RVTName);
    EXPECT_EQ(goods().sortField(), QString());
    EXPECT_EQ(shownPlus(), (QList<qint64>{3, 1, 2}));
}

TEST_F(GoodsPageTest, SearchTextKeepsOnlyWhatItsColumnTakes) {
    struct Case {
        int column;
        QString typed;
        QString shown;
    };
    const Case cases[] = {
        {0, QStringLiteral("1a2B3"), QStringLiteral("123")},
        {0, QStringLiteral("1234567890"), QStringLiteral("12345678")},
        {4, QStringLiteral("46x00-1234567890"), QStringLiteral("4600123456789")},
        {3, QStringLiteral("12,5kg"), QStringLiteral("12.5")},
        {3, QStringLiteral("12345678"), QStringLiteral("1234567")},
        {1, QStringLiteral("Milk 2,5%"), QStringLiteral("Milk 2,5%")},
    };
    for (const Case& c : cases) {
        page->SearchEdit->clear();
        page->SearchCombo->setCurrentIndex(c.column);
        QTest::keyClicks(page->SearchEdit, c.typed);
        EXPECT_EQ(page->SearchEdit->text(), c.shown) << c.typed.toStdString();
    }
    // Another column searches for the same text; a text longer than its limit stays, takes
    // nothing more and shrinks as the user deletes.
    add(12, QStringLiteral("Milk"));
    add(3, QStringLiteral("123456789 eggs"));
    page->SearchEdit->clear();
    page->SearchCombo->setCurrentIndex(1);
    QTest::keyClicks(page->SearchEdit, QStringLiteral("12"));
    EXPECT_EQ(shownPlus(), QList<qint64>{3});
    page->SearchCombo->setCurrentIndex(0);
    EXPECT_EQ(shownPlus(), QList<qint64>{12});
    page->SearchCombo->setCurrentIndex(1);
    QTest::keyClicks(page->SearchEdit, QStringLiteral("3456789"));
    page->SearchCombo->setCurrentIndex(0);
    QTest::keyClicks(page->SearchEdit, QStringLiteral("0"));
    EXPECT_EQ(page->SearchEdit->text(), QStringLiteral("123456789"));
    QTest::keyClick(page->SearchEdit, Qt::Key_Backspace);
    QTest::keyClicks(page->SearchEdit, QStringLiteral("0"));
    EXPECT_EQ(page->SearchEdit->text(), QStringLiteral("12345678"));
}

TEST_F(GoodsPageTest, NameSearchShowsGoodsBeginningWithTheTextInAnyCase) {
    add(1, QStringLiteral("Milk"));
    add(2, QStringLiteral("semolina"));
    add(3, QStringLiteral("MILLET"));
    add(4, QStringLiteral("mIlD cheese"));
    page->SearchCombo->setCurrentIndex(1);
    QTest::keyClicks(page->SearchEdit, QStringLiteral("mil"));
    EXPECT_EQ(shownPlus(), (QList<qint64>{1, 3, 4}));
    // A reload fills the search choice again, passing the PLU entry, and keeps the search.
    ASSERT_TRUE(form->ReloadAll());
    EXPECT_EQ(page->SearchEdit->text(), QStringLiteral("mil"));
    EXPECT_EQ(shownPlus(), (QList<qint64>{1, 3, 4}));
    QTest::keyClicks(page->SearchEdit, QStringLiteral("l"));
    EXPECT_EQ(shownPlus(), QList<qint64>{3});
    page->SearchEdit->clear();
    EXPECT_FALSE(goods().isFiltered());
    EXPECT_EQ(shownPlus(), (QList<qint64>{1, 2, 3, 4}));
}

TEST_F(GoodsPageTest, DeleteAsksOnceForOneRowOrForAllSelectedRows) {
    for (qint64 plu : {1, 2, 3, 4})
        add(plu, QStringLiteral("Goods %1").arg(plu));
    QItemSelectionModel* selection = page->ProductsGrid->selectionModel();
    QAbstractItemModel* model = page->ProductsGrid->model();

    // One row: the question names it; No keeps it.
    page->ProductsGrid->selectRow(1);
    answer = false;
    QTest::mouseClick(page->DeleteProductButton, Qt::LeftButton);
    ASSERT_EQ(questions.size(), 1);
    EXPECT_EQ(questions[0].caption, QStringLiteral("Delete item"));
    EXPECT_EQ(questions[0].text, QStringLiteral("Delete item?\nPLU: 2\nName: Goods 2"));
    EXPECT_EQ(shownPlus(), (QList<qint64>{1, 2, 3, 4}));

    // Three rows and the Delete key: one question for all.
    questions.clear();
    answer = true;
    selection->clearSelection();
    for (int r : {0, 2, 3})
        selection->select(model->index(r, ProductsDataSet::PLU),
                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QTest::keyClick(page->ProductsGrid, Qt::Key_Delete);
    ASSERT_EQ(questions.size(), 1);
    EXPECT_EQ(questions[0].text, QStringLiteral("Delete selected items?"));
    EXPECT_EQ(shownPlus(), QList<qint64>{2});

    // The last goods: the grid and the button go off.
    QTest::mouseClick(page->DeleteProductButton, Qt::LeftButton);
    EXPECT_EQ(stored(QStringLiteral("SELECT COUNT(*) FROM Products")), 0);
    EXPECT_FALSE(page->ProductsGrid->isEnabled());
    EXPECT_FALSE(page->DeleteProductButton->isEnabled());
}

TEST_F(GoodsPageTest, RefusedCellStaysBeingEditedWithWhatWasTyped) {
    add(1, QStringLiteral("Milk"));
    add(2, QStringLiteral("Bread"));
    QLineEdit* editor = openEditor(1, ProductsDataSet::PLU);
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("1"));
    page->postPendingEdit();
    QCoreApplication::processEvents();
    EXPECT_EQ(notifier.messages(), QStringList{QStringLiteral("PLU exists: 1")});
    EXPECT_EQ(stored(QStringLiteral("SELECT COUNT(*) FROM Products WHERE PLU = 2")), 1);
    editor = qobject_cast<QLineEdit*>(page->gridDelegate()->openEditor());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QStringLiteral("1"));

    // Escape gives the edit up; a valid value is stored on leaving the page.
    QTest::keyClick(editor, Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_EQ(page->gridDelegate()->openEditor(), nullptr);
    editor = openEditor(1, ProductsDataSet::Price);
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("3,5"));
    form->pageControl()->setCurrentIndex(TForm1::KeysPageIndex);
    EXPECT_EQ(goods().value(1, ProductsDataSet::Price), QVariant(QStringLiteral("3.50")));
    EXPECT_EQ(notifier.messages().size(), 1);
}

TEST_F(GoodsPageTest, TypeCellOffersTheTwoWords) {
    add(1, QStringLiteral("Milk"));
    const QModelIndex index = page->ProductsGrid->model()->index(0, ProductsDataSet::Type);
    page->ProductsGrid->setCurrentIndex(index);
    page->ProductsGrid->edit(index);
    auto* combo = qobject_cast<QComboBox*>(page->gridDelegate()->openEditor());
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("weight"));
    EXPECT_EQ(combo->itemText(1), QStringLiteral("count"));
    combo->setCurrentIndex(1);
    page->postPendingEdit();
    EXPECT_EQ(goods().value(0, ProductsDataSet::Type), QVariant(QStringLiteral("count")));
}

// Leaving the goods page: the keys page shows every goods item with the search emptied,
// and the totals page without totals keeps its Delete button disabled.
TEST_F(GoodsPageTest, OtherPagesSeeAllGoodsAndNoStaleDelete) {
    add(5, QStringLiteral("Milk"));
    add(12, QStringLiteral("Bread"));
    page->SearchCombo->setCurrentIndex(0); // PLU
    QTest::keyClicks(page->SearchEdit, QStringLiteral("5"));
    ASSERT_EQ(shownPlus(), QList<qint64>{5});

    form->pageControl()->setCurrentIndex(TForm1::KeysPageIndex);
    EXPECT_EQ(page->SearchEdit->text(), QString());
    EXPECT_EQ(shownPlus(), (QList<qint64>{5, 12}));

    form->totalsPage()->DeleteTotalsButton->setEnabled(true);
    form->pageControl()->setCurrentIndex(TForm1::TotalsPageIndex);
    EXPECT_FALSE(form->totalsPage()->DeleteTotalsButton->isEnabled());
}
