#include "app/gui/mainwindow.h"
#include "app/gui/messagepanel.h"
#include "app/langtext.h"
#include "comm/gui/transfercommands.h"
#include "db/database.h"
#include "db/datasets.h"
#include "editors/gui/goodspage.h"
#include "editors/gui/keyspage.h"
#include "editors/gui/totalspage.h"
#include "scalefiles/gui/cardcommands.h"
#include "scalefiles/gui/cardlist.h"

#include "guisupport.h"
#include "testsupport.h"

#include <QDir>
#include <QSqlQuery>
#include <QTest>

#include <gtest/gtest.h>

using namespace dm;
using namespace dm::gui;
using namespace dm::test;

namespace {

// A shown window over a scratch program folder, with a folder standing for the card.
class CardWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartedWindow started = startQuietWindow(folder.root(), errors);
        form = std::move(started.form);
        panel = started.panel;
        cards = form->cardCommands();
        ASSERT_NE(cards, nullptr);
        cards->makePauses = [this] { return std::make_unique<PanelWatch>(*panel, shown, during); };
        dialog = cards->cardList();
        dialog->driveRoots = [this] { return roots; };
        card = folder.path(QStringLiteral("card"));
        QDir().mkpath(card);
    }
    void TearDown() override {
        EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
        form.reset();
    }
    // The next showing of the dialog picks the card (and the keypad, when given).
    void chooseOnShow(const QString& keypad = QString()) {
        whenShown(dialog, [this, keypad] {
            if (!keypad.isEmpty())
                dialog->CardKeypadCombo->setCurrentText(keypad);
            QTest::mouseClick(dialog->SaveButton, Qt::LeftButton);
        });
    }
    int countOf(const char* sql) {
        QSqlQuery q(form->database().connection());
        EXPECT_TRUE(q.exec(QString::fromLatin1(sql)) && q.next());
        return q.value(0).toInt();
    }
    QStringList comboItems(const QComboBox* combo) const {
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        return items;
    }

    ScratchProgramFolder folder;
    std::unique_ptr<TForm1> form;
    TMessagePanel* panel = nullptr;
    CardCommands* cards = nullptr;
    TCardList* dialog = nullptr;
    QString card;
    QStringList roots;
    QStringList errors;
    QStringList shown;
    std::function<void()> during;
};

TEST_F(CardWindowTest, DialogFollowsTheDrivesAndListsEachKeypadOnce) {
    QSqlQuery(form->database().connection())
        .exec(QStringLiteral("INSERT INTO KeyPads (ID, Name) VALUES (2, 'Second')"));
    form->database().keypads().refresh();
    const QStringList keypads = [&] {
        QStringList names;
        for (int r = 0; r < form->database().keypads().recordCount(); ++r)
            names << form->database().keypads().value(r, KeypadsDataSet::Name).toString();
        return names;
    }();
    ASSERT_TRUE(keypads.contains(QStringLiteral("Second")));

    // No card at first: only Cancel. A card reader plugged in shows within half a second.
    whenShown(dialog, [&] {
        EXPECT_EQ(dialog->size(), QSize(292, 126));
        EXPECT_EQ(dialog->CardGroup->title(), QStringLiteral("Save database to memory card"));
        EXPECT_FALSE(dialog->SaveButton->isEnabled());
        EXPECT_TRUE(dialog->Timer1->isActive());
        EXPECT_EQ(comboItems(dialog->CardKeypadCombo), keypads);
        // A card mounted where the list does not look can be typed in.
        dialog->CardCombo->setEditText(card);
        EXPECT_TRUE(dialog->SaveButton->isEnabled());
        dialog->CardCombo->setEditText(QString());
        EXPECT_FALSE(dialog->SaveButton->isEnabled());
        roots = {card};
        QTRY_VERIFY_WITH_TIMEOUT(dialog->SaveButton->isEnabled(), 1500);
        EXPECT_EQ(dialog->CardCombo->currentText(), card);
        dialog->CardKeypadCombo->setCurrentText(QStringLiteral("Second"));
        // DM_SCREENSHOT_DIR keeps a picture of the dialog.
        const QString shots = qEnvironmentVariable("DM_SCREENSHOT_DIR");
        if (!shots.isEmpty()) {
            EXPECT_TRUE(dialog->grab().save(shots + QStringLiteral("/carddialog.png")));
        }
        QTest::mouseClick(dialog->SaveButton, Qt::LeftButton);
    });
    std::optional<CardChoice> choice = cards->chooseCard(true);
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->root, card);
    EXPECT_EQ(choice->keypad, QStringLiteral("Second"));
    EXPECT_FALSE(dialog->Timer1->isActive());
    KeypadsDataSet& k = form->database().keypads();
    EXPECT_EQ(k.value(k.currentRow(), KeypadsDataSet::Name).toString(), QStringLiteral("Second"));

    // Shown again, for totals: each keypad once, the keypad choice hidden, then back.
    whenShown(dialog, [&] {
        EXPECT_EQ(comboItems(dialog->CardKeypadCombo), keypads);
        EXPECT_TRUE(dialog->CardKeypadCombo->isHidden());
        EXPECT_TRUE(dialog->KeypadLabel->isHidden());
        QTest::mouseClick(dialog->CancelButton, Qt::LeftButton);
    });
    EXPECT_FALSE(cards->chooseCard(false));
    EXPECT_FALSE(dialog->CardKeypadCombo->isHidden());
}

TEST_F(CardWindowTest, SaveAndLoadThroughThePageButtons) {
    form->database().products().append({{QStringLiteral("PLU"), 7},
                                        {QStringLiteral("RVTName"), QStringLiteral("Tea")},
                                        {QStringLiteral("Price"), QStringLiteral("1.50")}});
    roots = {card};
    chooseOnShow();
    // While a card command runs no other command starts, of either kind.
    int finished = 0;
    QObject::connect(cards, &CardCommands::commandFinished, [&] { ++finished; });
    bool tried = false;
    during = [&] {
        if (tried)
            return;
        tried = true;
        EXPECT_TRUE(TransferCommands::isRunning());
        EXPECT_FALSE(form->keysPage()->KeypadToCardButton->isEnabled());
        cards->LoadTotalsButtonClick();
        EXPECT_EQ(finished, 1); // refused at once, without a dialog
    };
    QTest::mouseClick(form->goodsPage()->ProductsToCardButton, Qt::LeftButton);
    EXPECT_EQ(finished, 2);
    EXPECT_TRUE(form->keysPage()->KeypadToCardButton->isEnabled());
    EXPECT_EQ(QDir(card).entryList(QDir::Files, QDir::Name),
              (QStringList{QStringLiteral("RVT.dat"), QStringLiteral("keyboard.dat"),
                           QStringLiteral("products.dat"), QStringLiteral("salesmen.dat")}));
    EXPECT_EQ(shown, (QStringList{QStringLiteral("Goods file making..."),
                                  QStringLiteral("Ticket file making..."),
                                  QStringLiteral("Keypad file making..."),
                                  QStringLiteral("Saving completed successfully")}));
    EXPECT_FALSE(panel->isVisible());

    // Only the goods file left on the card: the goods come back and the page shows them.
    for (const char* name : {"RVT.dat", "keyboard.dat", "salesmen.dat"})
        QFile::remove(QDir(card).filePath(QString::fromLatin1(name)));
    QSqlQuery(form->database().connection()).exec(QStringLiteral("DELETE FROM Products"));
    form->database().products().refresh();
    shown.clear();
    during = nullptr;
    chooseOnShow();
    QTest::mouseClick(form->keysPage()->KeypadFromCardButton, Qt::LeftButton);
    EXPECT_EQ(countOf("SELECT COUNT(*) FROM Products WHERE PLU = 7"), 1);
    EXPECT_EQ(form->goodsPage()->ProductsGrid->model()->rowCount(), 1);
    EXPECT_EQ(shown, (QStringList{
                         QStringLiteral("Reading in progress..."), QStringLiteral("Reading failed"),
                         QStringLiteral("Reading failed"), QStringLiteral("Reading failed")}));
    EXPECT_FALSE(panel->isVisible());
}

TEST_F(CardWindowTest, TotalsLoadClearsThePeriodAndEnablesDelete) {
    ASSERT_TRUE(QFile::copy(testDataDir() + QStringLiteral("/scalefiles/totals_examples.dat"),
                            QDir(card).filePath(QStringLiteral("summary.dat"))));
    TotalsPage* page = form->totalsPage();
    page->TotalsSearchEdit->setText(QStringLiteral("999"));
    EXPECT_FALSE(page->DeleteTotalsButton->isEnabled());
    roots = {card};
    chooseOnShow();
    QTest::mouseClick(page->LoadTotalsButton, Qt::LeftButton);
    EXPECT_TRUE(page->TotalsSearchEdit->text().isEmpty());
    EXPECT_EQ(page->TotalsGrid->model()->rowCount(), 2);
    EXPECT_EQ(countOf("SELECT COUNT(*) FROM Totals WHERE Scales = 'miniSD' AND IP = 'miniSD'"), 2);
    EXPECT_TRUE(page->DeleteTotalsButton->isEnabled());
    EXPECT_EQ(shown, QStringList{QStringLiteral("Reading completed successfully")});
}

} // namespace
