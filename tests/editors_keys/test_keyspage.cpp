#include "app/gui/mainwindow.h"
#include "app/inifile.h"
#include "app/notifier.h"
#include "app/shellstate.h"
#include "db/database.h"
#include "editors/goodschecks.h"
#include "editors/gui/goodspage.h"
#include "editors/gui/keyspage.h"
#include "editors/keypadeditor.h"
#include "guisupport.h"
#include "testsupport.h"

#include <QAction>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QSqlQuery>
#include <QTest>
#include <gtest/gtest.h>

using namespace dm;
using dm::gui::KeysPage;
using dm::gui::TForm1;

namespace {

// The keys page of a real window on a scratch program folder and a fresh database.
class KeysPageTest : public ::testing::Test {
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
        page = form->keysPage();
        page->reportError = [this](const QString& e) { errors.append(e); };
        form->show();
        form->pageControl()->setCurrentIndex(TForm1::KeysPageIndex);
        ASSERT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    }
    void TearDown() override {
        form.reset();
        EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
        EXPECT_TRUE(notifier.messages().isEmpty()) << notifier.messages().join(u'\n').toStdString();
    }

    Database& db() { return form->database(); }
    void addGoods(qint64 plu, const QString& name) {
        db().products().append({{QStringLiteral("PLU"), plu},
                                {QStringLiteral("RVTName"), name},
                                {QStringLiteral("Price"), QStringLiteral("1.00")}});
    }
    qint64 storedKey(int id) {
        QSqlQuery q(db().connection());
        q.prepare(QStringLiteral("SELECT PLU FROM Keys WHERE ID = ?"));
        q.addBindValue(id);
        return q.exec() && q.next() ? q.value(0).toLongLong() : -1;
    }
    // Makes keypads up to n with the page's own command, then shows keypad `current`.
    void keypads(int n, int current) {
        while (db().keypads().recordCount() < n)
            page->NewKeypadAction->trigger();
        chooseKeypad(current);
    }
    void chooseKeypad(int keypad) {
        ASSERT_TRUE(db().keypads().locate(QStringLiteral("ID"), keypad));
        ASSERT_EQ(page->currentKeypad(), keypad);
    }
    // A drop on a key, as the goods grid's drag delivers it.
    void drop(int key, const QMimeData* data) {
        QPushButton* button = page->Keys[key - 1];
        const QPointF at(button->width() / 2.0, button->height() / 2.0);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(button, &enter);
        QDropEvent dropped(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(button, &dropped);
    }
    QStringList captions() {
        QStringList c;
        for (QPushButton* key : page->Keys)
            c << key->text();
        return c;
    }

    test::ScratchProgramFolder folder;
    std::unique_ptr<TForm1> form;
    KeysPage* page = nullptr;
    CollectingNotifier notifier;
    QStringList errors;
};

} // namespace

TEST_F(KeysPageTest, DropOfGoodsOnKey7OfKeypad2WritesRow207AndRightClickUnbindsIt) {
    addGoods(5, QStringLiteral("Bread"));
    addGoods(123, QStringLiteral("Cheese"));
    keypads(2, 2);

    std::unique_ptr<QMimeData> data(page->goodsDragData(1));
    ASSERT_NE(data, nullptr);
    drop(7, data.get());
    EXPECT_EQ(storedKey(207), 123);
    EXPECT_EQ(storedKey(107), 0);
    EXPECT_EQ(page->Keys[6]->text(), QStringLiteral("123"));
    EXPECT_EQ(page->ProductNameDisplay->text(), QStringLiteral("#7 Cheese"));

    // Something dropped that is no goods row binds nothing.
    QMimeData text;
    text.setText(QStringLiteral("5"));
    drop(8, &text);
    EXPECT_EQ(storedKey(208), 0);
    EXPECT_EQ(page->Keys[7]->text(), QString());

    QTest::mouseClick(page->Keys[6], Qt::RightButton);
    EXPECT_EQ(storedKey(207), 0);
    EXPECT_EQ(page->Keys[6]->text(), QString());
    EXPECT_EQ(page->ProductNameDisplay->text(), QStringLiteral("#7 Item not set"));
}

TEST_F(KeysPageTest, KeyOfDeletedGoodsKeepsItsNumberAndSaysNotFound) {
    addGoods(55, QStringLiteral("Plums"));
    std::unique_ptr<QMimeData> data(page->goodsDragData(0));
    drop(3, data.get());
    drop(1, data.get());
    db().products().remove(0);
    QTest::mouseClick(page->Keys[2], Qt::LeftButton);
    EXPECT_EQ(page->Keys[2]->text(), QStringLiteral("55"));
    EXPECT_EQ(page->ProductNameDisplay->text(), QStringLiteral("#3 Item not found"));
    QTest::mouseClick(page->Keys[3], Qt::LeftButton);
    EXPECT_EQ(page->ProductNameDisplay->text(), QStringLiteral("#4 Item not set"));
    EXPECT_EQ(storedKey(103), 55);

    // Showing the keypad names key 1's goods only when they exist; a click tells more.
    page->ShowKeypad(1);
    EXPECT_EQ(page->Keys[0]->text(), QStringLiteral("55"));
    EXPECT_EQ(page->ProductNameDisplay->text(), QStringLiteral("#1 Item not set"));
    QTest::mouseClick(page->Keys[0], Qt::LeftButton);
    EXPECT_EQ(page->ProductNameDisplay->text(), QStringLiteral("#1 Item not found"));
}

TEST_F(KeysPageTest, DragsOverTheKeysAndTheGoodsListTakeOnlyGoodsRows) {
    for (const char* slot :
         {"KeyProductsGridMouseDown(const QMouseEvent*)",
          "KeyProductsGridMouseMove(const QMouseEvent*)", "KeyProductsGridMouseUp()",
          "KeyProductsGridDragOver(QDragMoveEvent*)", "Key1DragOver(int,QDragMoveEvent*)",
          "Key1DragDrop(int,const QMimeData*)", "Key1MouseDown(int,Qt::MouseButton)",
          "Key1Click(int)"})
        EXPECT_GE(page->metaObject()->indexOfSlot(QMetaObject::normalizedSignature(slot)), 0)
            << slot;
    addGoods(5, QStringLiteral("Bread"));
    std::unique_ptr<QMimeData> goods(page->goodsDragData(0));
    QMimeData text;
    text.setText(QStringLiteral("5"));
    QWidget* targets[] = {page->Keys[0], page->Keys[32], page->KeyProductsGrid->viewport()};
    for (QWidget* target : targets) {
        for (const QMimeData* data :
             {static_cast<const QMimeData*>(goods.get()), static_cast<const QMimeData*>(&text)}) {
            const bool isGoods = data == goods.get();
            const QPoint at(target->width() / 2, target->height() / 2);
            QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(target, &enter);
            EXPECT_EQ(enter.isAccepted(), isGoods) << target->objectName().toStdString();
            QDragMoveEvent move(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(target, &move);
            EXPECT_EQ(move.isAccepted(), isGoods) << target->objectName().toStdString();
        }
    }
    // A goods row dropped back on the list binds no key.
    QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, goods.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(page->KeyProductsGrid->viewport(), &dropped);
    EXPECT_EQ(captions(), QStringList(kKeypadKeys, QString()));

    // A left press in the goods list arms a drag, a release or another button does not.
    const struct {
        Qt::MouseButton button;
        bool release;
        bool armed;
    } presses[] = {{Qt::LeftButton, false, true},
                   {Qt::LeftButton, true, false},
                   {Qt::RightButton, false, false}};
    QWidget* grid = page->KeyProductsGrid->viewport();
    for (const auto& p : presses) {
        QTest::mousePress(grid, p.button, {}, QPoint(10, 10));
        if (p.release)
            QTest::mouseRelease(grid, p.button, {}, QPoint(10, 10));
        EXPECT_EQ(page->goodsDragArmed(), p.armed) << int(p.button) << p.release;
        QTest::mouseRelease(grid, p.button, {}, QPoint(10, 10));
    }
}

TEST_F(KeysPageTest, AutofillWithFiveGoodsSortedByNameBindsKeysOneToFive) {
    const QStringList names = {QStringLiteral("Pears"), QStringLiteral("apples"),
                               QStringLiteral("Figs"), QStringLiteral("Cherries"),
                               QStringLiteral("bananas")};
    for (int i = 0; i < names.size(); ++i)
        addGoods(10 + i, names[i]);
    // Sorted by name on the goods page, as the user would.
    form->pageControl()->setCurrentIndex(TForm1::GoodsPageIndex);
    form->goodsPage()->ProductsGrid->setEnabled(true);
    QHeaderView* header = form->goodsPage()->ProductsGrid->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(ProductsDataSet::RVTName) + 5, 5));
    form->pageControl()->setCurrentIndex(TForm1::KeysPageIndex);
    keypads(2, 2);

    QTest::mouseClick(page->AutoFillKeypadButton, Qt::LeftButton);
    const QList<int> byName = {11, 14, 13, 12, 10}; // apples, bananas, Cherries, Figs, Pears
    for (int n = 1; n <= kKeypadKeys; ++n) {
        const qint64 plu = n <= 5 ? byName[n - 1] : 0;
        EXPECT_EQ(storedKey(200 + n), plu) << n;
        EXPECT_EQ(page->Keys[n - 1]->text(), keyCaption(plu)) << n;
    }
    EXPECT_EQ(page->ProductNameDisplay->text(), QStringLiteral("#1 apples"));
    for (int n = 1; n <= kKeypadKeys; ++n)
        EXPECT_EQ(storedKey(100 + n), 0) << n;
}

TEST_F(KeysPageTest, ClearingKeypad3WritesZeroIntoItsRowsOnly) {
    addGoods(1, QStringLiteral("Salt"));
    keypads(3, 3);
    for (int keypad : {2, 3})
        for (int n = 1; n <= kKeypadKeys; ++n)
            setKey(db().keys(), keypad, n, 1);
    page->ShowKeypad(3);
    ASSERT_EQ(page->Keys[32]->text(), QStringLiteral("1"));

    QTest::mouseClick(page->ClearKeypadButton, Qt::LeftButton);
    for (int n = 1; n <= kKeypadKeys; ++n) {
        EXPECT_EQ(storedKey(300 + n), 0) << n;
        EXPECT_EQ(storedKey(200 + n), 1) << n;
    }
    EXPECT_EQ(captions(), QStringList(kKeypadKeys, QString()));
    EXPECT_EQ(page->ProductNameDisplay->text(), QStringLiteral("#1 Item not set"));
}

TEST_F(KeysPageTest, ChoosingAKeypadShowsItsKeysOnlyOnceLoaded) {
    addGoods(4, QStringLiteral("Rice"));
    addGoods(8, QStringLiteral("Oats"));
    keypads(2, 1);
    setKey(db().keys(), 1, 1, 4);
    setKey(db().keys(), 2, 1, 8);
    setKey(db().keys(), 2, 33, 4);

    QAbstractItemModel* model = page->KeypadsGrid->model();
    page->KeypadsGrid->setCurrentIndex(model->index(1, KeypadsDataSet::Name));
    EXPECT_EQ(page->currentKeypad(), 2);
    EXPECT_EQ(page->Keys[0]->text(), QStringLiteral("8"));
    EXPECT_EQ(page->Keys[32]->text(), QStringLiteral("4"));
    EXPECT_EQ(page->ProductNameDisplay->text(), QStringLiteral("#1 Oats"));

    // While the pages are being loaded a change of keypad redraws nothing.
    shell().DataLoaded = false;
    page->KeypadsGrid->setCurrentIndex(model->index(0, KeypadsDataSet::Name));
    EXPECT_EQ(page->currentKeypad(), 1);
    EXPECT_EQ(page->Keys[0]->text(), QStringLiteral("8"));
    shell().DataLoaded = true;
    page->KeypadsGrid->setCurrentIndex(model->index(1, KeypadsDataSet::Name));
    page->KeypadsGrid->setCurrentIndex(model->index(0, KeypadsDataSet::Name));
    EXPECT_EQ(page->Keys[0]->text(), QStringLiteral("4"));
    EXPECT_EQ(page->Keys[32]->text(), QString());
}

TEST_F(KeysPageTest, KeysSitInFourRowsOfTheirSize) {
    for (int i = 0; i < kKeypadKeys; ++i) {
        QPushButton* key = page->Keys[i];
        EXPECT_EQ(key->objectName(), QStringLiteral("Key%1").arg(i + 1));
        EXPECT_EQ(key->property("Tag").toInt(), i + 1);
        EXPECT_EQ(key->size(), QSize(45, 38));
        EXPECT_EQ(key->y(), page->Keys[(i / 9) * 9]->y()) << i;
        EXPECT_EQ(key->x(), page->Keys[i % 9]->x()) << i;
    }
    EXPECT_LT(page->Keys[8]->y(), page->Keys[9]->y());
    EXPECT_LT(page->Keys[26]->y(), page->Keys[27]->y());
}
