#include "app/gui/mainwindow.h"
#include "app/gui/messagepanel.h"
#include "app/gui/settingspage.h"
#include "comm/gui/scalesform.h"
#include "comm/gui/scalesgroup.h"
#include "comm/gui/transfercommands.h"
#include "editors/gui/goodspage.h"
#include "editors/gui/totalspage.h"
#include "scalefiles/totalsfile.h"

#include "guisupport.h"
#include "transfertest.h"

#include <QLabel>
#include <QPushButton>
#include <QSqlQuery>
#include <QTabBar>
#include <QTest>
#include <QTimer>

using namespace dm;
using namespace dm::gui;
using namespace dm::test;

namespace {

// Scales of this file live on 127.0.0.70 to 127.0.0.74.
const QString kScale = QStringLiteral("127.0.0.70");

void clickItem(QListWidget* list, int row) {
    const QRect r = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
}

class TransferWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartedWindow started = startQuietWindow(folder.root(), errors);
        form = std::move(started.form);
        panel = started.panel;
        commands = form->transferCommands();
        ASSERT_NE(commands, nullptr);
        commands->setMessagePanel(panel);
        commands->reportError = [this](const QString& e) { errors << e; };
        commands->linkTimings.firstByteMs = 400;
        commands->makePauses = [this] {
            return std::make_unique<PanelWatch>(*panel, shown, during);
        };
        for (QToolButton* b : form->transferButtons())
            b->setEnabled(true);
    }
    void TearDown() override {
        EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
        form.reset();
    }
    void found(const QStringList& addresses) {
        commands->foundScales = [addresses] {
            return FoundScales{addresses, QStringList(addresses.size(), QString(QChar(2)))};
        };
    }
    QString exported(const QString& name) const {
        return folder.path(QStringLiteral("Export/") + name);
    }

    ScratchProgramFolder folder;
    std::unique_ptr<TForm1> form;
    TMessagePanel* panel = nullptr;
    TransferCommands* commands = nullptr;
    QStringList errors;
    QStringList shown;
    std::function<void()> during;
};

TEST_F(TransferWindowTest, OneUploadThroughTheWindowWithTheMessagePanel) {
    QTemporaryDir scaleFiles;
    SimProcess sim;
    ASSERT_TRUE(sim.start(
        {QStringLiteral("--address"), kScale, QStringLiteral("--folder"), scaleFiles.path()}));
    found({kScale});
    QStringList items;
    whenShown(commands->scalesForm(), [&] {
        TScalesForm* dialog = commands->scalesForm();
        for (int i = 0; i < dialog->ScalesList->count(); ++i)
            items << dialog->ScalesList->item(i)->text();
        EXPECT_FALSE(dialog->OkButton->isEnabled());
        clickItem(dialog->ScalesList, 0);
        EXPECT_TRUE(dialog->OkButton->isEnabled());
        QTest::mouseClick(dialog->OkButton, Qt::LeftButton);
    });
    // While the scale is being served: a second command does not start, and what the
    // user does to the window waits.
    int refused = 0;
    bool tried = false;
    commands->clearTotalsFilter = [&] { ++refused; };
    during = [&] {
        if (tried || !panel->messageLabel()->text().startsWith(QStringLiteral("Uploading data")))
            return;
        tried = true;
        EXPECT_TRUE(TransferCommands::isRunning());
        EXPECT_FALSE(form->goodsPage()->TransmitProductsButton->isEnabled());
        commands->DownloadTotalsButtonClick();
        QTabBar* tabs = form->pageControl()->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(4).center());
    };
    const int page = form->pageControl()->currentIndex();

    QTest::mouseClick(form->goodsPage()->TransmitProductsButton, Qt::LeftButton);

    EXPECT_EQ(items, QStringList{QStringLiteral("Новые (IP: 127.0.0.70, Keypad: Keypad 1) QEL")});
    EXPECT_TRUE(tried);
    EXPECT_EQ(refused, 0);
    EXPECT_EQ(form->pageControl()->currentIndex(), page);
    EXPECT_FALSE(TransferCommands::isRunning());
    EXPECT_TRUE(form->goodsPage()->TransmitProductsButton->isEnabled());
    EXPECT_FALSE(panel->isVisible());
    for (const QString& text :
         {QStringLiteral("Goods file making..."), QStringLiteral("Connecting..."),
          QStringLiteral("Uploading data (New <127.0.0.70>)"),
          QStringLiteral("Uploading completed (New <127.0.0.70>)")})
        EXPECT_TRUE(shown.contains(text)) << text.toStdString() << "\n"
                                          << shown.join(u'\n').toStdString();
    for (const char* name : {"products.dat", "RVT.dat", "Salesmen.dat", "keyboard.dat"})
        EXPECT_EQ(readFile(QDir(scaleFiles.path()).filePath(QString::fromLatin1(name))),
                  readFile(exported(QString::fromLatin1(name))))
            << name;
    // The dialog gave the new scale its row before the run.
    EXPECT_EQ(form->database()
                  .scales()
                  .lookup(QStringLiteral("IP"), kScale, QStringLiteral("Name"))
                  .toString(),
              QStringLiteral("New"));
}

TEST_F(TransferWindowTest, TotalsThroughTheWindowComeUnfiltered) {
    const QString address = QStringLiteral("127.0.0.72");
    QTemporaryDir scaleFiles;
    QByteArray totals;
    AppendTotalsRecord(totals, {12, false, 2500, 4, 7000, 11,
                                QDateTime(QDate(2024, 3, 4), QTime(10, 0), Qt::UTC)});
    writeFile(QDir(scaleFiles.path()).filePath(QStringLiteral("Totals.dat")), totals);
    SimProcess sim;
    ASSERT_TRUE(sim.start(
        {QStringLiteral("--address"), address, QStringLiteral("--folder"), scaleFiles.path()}));
    found({address});
    TotalsPage* page = form->totalsPage();
    page->TotalsSearchEdit->setText(QStringLiteral("zzz"));
    page->DeleteTotalsButton->setEnabled(false);
    whenShown(commands->scalesForm(), [&] {
        TScalesForm* dialog = commands->scalesForm();
        EXPECT_TRUE(dialog->SelectAllButton->isVisible());
        QTest::mouseClick(dialog->SelectAllButton, Qt::LeftButton);
        QTest::mouseClick(dialog->OkButton, Qt::LeftButton);
    });

    QTest::mouseClick(page->DownloadTotalsButton, Qt::LeftButton);

    EXPECT_TRUE(page->TotalsSearchEdit->text().isEmpty());
    EXPECT_EQ(form->database().totals().recordCount(), 1);
    EXPECT_EQ(form->database().totals().value(0, TotalsDataSet::IP).toString(), address);
    EXPECT_TRUE(page->DeleteTotalsButton->isEnabled());
    EXPECT_TRUE(shown.contains(QStringLiteral("Downloading completed (New(127.0.0.72)")))
        << shown.join(u'\n').toStdString();
    EXPECT_FALSE(panel->isVisible());
}

TEST_F(TransferWindowTest, NoScaleFoundShowsTheTroubleshootingListAndMakesNothing) {
    found({});
    struct Case {
        QToolButton* button;
        TroubleshootingFor which;
    };
    const Case cases[] = {
        {form->goodsPage()->TransmitProductsButton, TroubleshootingFor::Upload},
        {form->goodsPage()->ReceiveProductsButton, TroubleshootingFor::Download},
    };
    for (const Case& c : cases) {
        QStringList lines;
        whenShown(panel, [&] {
            lines = panel->messageLabel()->text().split(u'\n');
            QTest::mouseClick(panel->findChild<QPushButton*>(QStringLiteral("CloseButton")),
                              Qt::LeftButton);
        });
        QTest::mouseClick(c.button, Qt::LeftButton);
        EXPECT_EQ(lines, TroubleshootingLines(c.which));
        EXPECT_FALSE(panel->isVisible());
        EXPECT_FALSE(QFileInfo::exists(exported(QStringLiteral("products.dat"))));
    }
}

TEST_F(TransferWindowTest, ScaleChoiceDialogInSingleAndMultipleChoice) {
    struct Case {
        bool single;
        QList<int> clicks;
        QList<int> ticked;
    };
    const Case cases[] = {
        {true, {0, 2}, {2}},
        {true, {1, 1}, {}},
        {false, {0, 2}, {0, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.single ? "single" : "multiple");
        TScalesForm dialog;
        dialog.SingleScaleChoice = c.single;
        dialog.setItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        dialog.show();
        EXPECT_EQ(dialog.ScalesGroup->title(), QStringLiteral("SelectScales"));
        EXPECT_EQ(dialog.OkButton->text(), QStringLiteral("Upload"));
        EXPECT_EQ(dialog.SelectAllButton->isVisible(), !c.single);
        EXPECT_EQ(dialog.SelectNoneButton->text(), QStringLiteral("Unselect all"));
        EXPECT_FALSE(dialog.OkButton->isEnabled());
        for (int row : c.clicks)
            clickItem(dialog.ScalesList, row);
        EXPECT_EQ(dialog.tickedItems(), c.ticked);
        EXPECT_EQ(dialog.OkButton->isEnabled(), !c.ticked.isEmpty());
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(dialog.ScalesList->item(i)->checkState() == Qt::Checked,
                      c.ticked.contains(i));
        if (!c.single) {
            QTest::mouseClick(dialog.SelectAllButton, Qt::LeftButton);
            EXPECT_EQ(dialog.tickedItems(), (QList<int>{0, 1, 2}));
            EXPECT_TRUE(dialog.OkButton->isEnabled());
            QTest::mouseClick(dialog.SelectNoneButton, Qt::LeftButton);
            EXPECT_FALSE(dialog.OkButton->isEnabled());
        }
        QTest::mouseClick(dialog.CancelButton, Qt::LeftButton);
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
}

TEST_F(TransferWindowTest, ScalesGroupRefreshesAndDeletes) {
    ScalesGroupBox* group = form->settingsPage()->ScalesGroup;
    found({QStringLiteral("127.0.0.71")});
    form->pageControl()->setCurrentIndex(TForm1::SettingsPageIndex);
    commands->refreshScalesList();

    QAbstractItemModel* model = group->ScalesGrid->model();
    ASSERT_EQ(model->rowCount(), 1);
    QStringList row;
    for (int c = ScalesDataSet::Name; c <= ScalesDataSet::Keypad; ++c)
        row << model->index(0, c).data().toString();
    EXPECT_EQ(row, (QStringList{QStringLiteral("New"), QStringLiteral("127.0.0.71"),
                                QStringLiteral("Online"), QStringLiteral("Keypad 1")}));
    EXPECT_EQ(group->keypadPickList(), QStringList{QStringLiteral("Keypad 1")});
    EXPECT_TRUE(group->ScalesGrid->isColumnHidden(ScalesDataSet::ID));
    EXPECT_EQ(group->ScalesGrid->columnWidth(ScalesDataSet::Name), 300);
    EXPECT_FALSE(model->flags(model->index(0, ScalesDataSet::IP)) & Qt::ItemIsEditable);
    EXPECT_TRUE(model->flags(model->index(0, ScalesDataSet::Keypad)) & Qt::ItemIsEditable);
    EXPECT_TRUE(group->DeleteScalesButton->isEnabled());

    // Found no more: Offline, still listed.
    found({});
    commands->refreshScalesList();
    EXPECT_EQ(model->index(0, ScalesDataSet::State).data().toString(), QStringLiteral("Offline"));

    QStringList questions;
    for (bool yes : {false, true}) {
        group->ask = [&](const QString& caption, const QString& text) {
            questions << caption + u'|' + text;
            return yes;
        };
        QTest::mouseClick(group->DeleteScalesButton, Qt::LeftButton);
        EXPECT_EQ(model->rowCount(), yes ? 0 : 1);
    }
    EXPECT_EQ(questions.value(0),
              QStringLiteral("Delete Scales|Delete scales\nNew IP: 127.0.0.71\nfrom list?"));
    EXPECT_FALSE(group->DeleteScalesButton->isEnabled());
}

} // namespace

// A download whose scale choice is cancelled still brings every page back in line with
// the database (the window reloads after every download command).
TEST_F(TransferWindowTest, CancelledDownloadStillReloadsThePages) {
    found({kScale});
    QSqlQuery(form->database().connection())
        .exec(QStringLiteral("INSERT INTO Products (PLU, RVTName, Price) VALUES (77, 'Fig', "
                             "'1.00')"));
    const int shown = form->goodsPage()->ProductsGrid->model()->rowCount();
    whenShown(commands->scalesForm(),
              [&] { QTest::mouseClick(commands->scalesForm()->CancelButton, Qt::LeftButton); });
    commands->ReceiveProductsButtonClick();
    EXPECT_EQ(form->goodsPage()->ProductsGrid->model()->rowCount(), shown + 1);
    EXPECT_FALSE(TransferCommands::isRunning());
}
