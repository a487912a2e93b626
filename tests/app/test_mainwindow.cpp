#include "app/gui/mainwindow.h"
#include "app/gui/settingspage.h"
#include "app/gui/titledheaderview.h"
#include "app/inifile.h"
#include "app/shellstate.h"
#include "app/windowplacement.h"
#include "db/database.h"
#include "db/dbtexts.h"
#include "editors/gui/goodspage.h"
#include "editors/gui/keyspage.h"
#include "editors/gui/ticketpage.h"
#include "editors/gui/totalspage.h"
#include "guisupport.h"
#include "testsupport.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace dm;
using dm::gui::TForm1;

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    test::ScratchProgramFolder folder;
    QStringList errors;

    void setLanguage(const QString& name) {
        ASSERT_TRUE(writeIniValue(folder.path(QStringLiteral("System/terminal.ini")),
                                  QStringLiteral("Global"), QStringLiteral("Language"), name));
    }
    void addLanguage(const QString& name, const QByteArray& langDat) {
        const QString dir = folder.path(QStringLiteral("Languages/") + name);
        QDir().mkpath(dir);
        QFile f(dir + QStringLiteral("/Lang.dat"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(langDat);
        // The flag and the ticket fonts come from the English folder.
        const QString eng = folder.path(QStringLiteral("Languages/ENG/"));
        for (const QString& file : QDir(eng).entryList({QStringLiteral("*.bmp")}, QDir::Files))
            QFile::copy(eng + file, dir + u'/' + file);
    }
    std::unique_ptr<TForm1> start() {
        auto form = std::make_unique<TForm1>(ProgramFolder(folder.root()));
        test::keepDiscoveryQuiet(*form);
        form->setErrorReporter([this](const QString& e) { errors.append(e); });
        form->FormCreate();
        return form;
    }
    static QString headerOf(QAbstractItemModel* model, int column) {
        return model->headerData(column, Qt::Horizontal).toString();
    }
};

} // namespace

TEST_F(MainWindowTest, PartialLanguageFileShowsItsKeyAndDefaultsElsewhere) {
    addLanguage(QStringLiteral("TST"), "[Main]\r\nProducts=Goods\r\n");
    setLanguage(QStringLiteral("TST"));
    auto form = start();
    ASSERT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    EXPECT_EQ(form->pageControl()->tabText(0), QStringLiteral("Goods"));
    EXPECT_EQ(form->pageControl()->tabText(1), QStringLiteral("Ticket"));
    EXPECT_EQ(form->goodsPage()->AddProductButton->text(), QStringLiteral("New"));
    EXPECT_EQ(form->settingsPage()->LangCombo->currentText(), QStringLiteral("TST"));
    EXPECT_TRUE(shell().DataLoaded);
}

TEST_F(MainWindowTest, SwitchingLanguageRenamesEverythingAtOnceWithoutDuplicates) {
    setLanguage(QStringLiteral("ENG"));
    auto form = start();
    ASSERT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    QComboBox* combo = form->settingsPage()->LangCombo;
    const int languages = combo->count();
    ASSERT_GE(languages, 2);
    EXPECT_EQ(form->pageControl()->tabText(0), QStringLiteral("Products"));
    EXPECT_EQ(headerOf(form->goodsPage()->ProductsGrid->model(), ProductsDataSet::RVTName),
              QStringLiteral("Name"));
    EXPECT_TRUE(form->caption().startsWith(QStringLiteral("Data Manager QEL (v1.2.0) - [")));

    combo->setCurrentIndex(combo->findText(QStringLiteral("RUS")));
    EXPECT_EQ(combo->count(), languages);
    EXPECT_EQ(combo->currentText(), QStringLiteral("RUS"));
    EXPECT_EQ(readIniValue(folder.path(QStringLiteral("System/terminal.ini")),
                           QStringLiteral("Global"), QStringLiteral("Language")),
              QStringLiteral("RUS"));
    EXPECT_NE(form->pageControl()->tabText(0), QStringLiteral("Products"));
    EXPECT_NE(form->goodsPage()->AddProductButton->text(), QStringLiteral("New"));
    EXPECT_NE(headerOf(form->goodsPage()->ProductsGrid->model(), ProductsDataSet::RVTName),
              QStringLiteral("Name"));
    EXPECT_NE(form->totalsPage()->TotalsRangeLabel->text(), QStringLiteral("Period"));
    EXPECT_FALSE(form->caption().startsWith(QStringLiteral("Data Manager QEL (v")));
    EXPECT_TRUE(form->caption().endsWith(shell().CurrentDatabasePath + u']'));
    EXPECT_EQ(form->goodsPage()->SearchCombo->count(), 5);
    EXPECT_EQ(form->goodsPage()->SearchCombo->currentIndex(), 1);
    EXPECT_EQ(form->totalsPage()->TotalsSearchCombo->count(), 3);

    form->ReloadAll();
    EXPECT_EQ(combo->count(), languages);
    EXPECT_EQ(form->goodsPage()->SearchCombo->count(), 5);
}

TEST_F(MainWindowTest, UnknownLanguageFallsBackToEnglish) {
    setLanguage(QStringLiteral("XXX"));
    auto form = start();
    EXPECT_EQ(form->settingsPage()->LangCombo->currentText(), QStringLiteral("ENG"));
    EXPECT_EQ(readIniValue(folder.path(QStringLiteral("System/terminal.ini")),
                           QStringLiteral("Global"), QStringLiteral("Language")),
              QStringLiteral("ENG"));
    EXPECT_TRUE(shell().LanguageFolder.endsWith(QStringLiteral("/Languages/ENG")));
}

TEST_F(MainWindowTest, NoLanguageFolderAtAllStillStartsWithBuiltInTexts) {
    QDir(folder.path(QStringLiteral("Languages"))).removeRecursively();
    auto form = start();
    EXPECT_TRUE(shell().DataLoaded);
    EXPECT_EQ(form->pageControl()->tabText(4), QStringLiteral("Settings"));
    EXPECT_EQ(form->settingsPage()->LangCombo->count(), 0);
}

TEST_F(MainWindowTest, DeletedBaseFallsBackToDefaultDatabase) {
    ASSERT_TRUE(writeIniValue(folder.path(QStringLiteral("System/terminal.ini")),
                              QStringLiteral("Global"), QStringLiteral("Base"),
                              folder.path(QStringLiteral("gone.sqlite"))));
    auto form = start();
    EXPECT_EQ(shell().CurrentDatabasePath, folder.path(QStringLiteral("Data/Base.sqlite")));
    EXPECT_EQ(readIniValue(folder.path(QStringLiteral("System/terminal.ini")),
                           QStringLiteral("Global"), QStringLiteral("Base")),
              shell().CurrentDatabasePath);
    EXPECT_TRUE(form->database().isOpen());
}

TEST_F(MainWindowTest, DamagedDatabaseIsReportedAndLeavesDataNotLoaded) {
    const QString bad = folder.path(QStringLiteral("bad.sqlite"));
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("this is not a database");
    f.close();
    ASSERT_TRUE(writeIniValue(folder.path(QStringLiteral("System/terminal.ini")),
                              QStringLiteral("Global"), QStringLiteral("Base"), bad));
    auto form = start();
    EXPECT_EQ(errors.size(), 1);
    EXPECT_FALSE(shell().DataLoaded);
    QFile again(bad);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), QByteArray("this is not a database"));
}

TEST_F(MainWindowTest, TransferButtonsStartDisabledAndPagesCarryTheirNames) {
    auto form = start();
    const QStringList names{
        QStringLiteral("TransmitProductsButton"), QStringLiteral("ReceiveProductsButton"),
        QStringLiteral("TransmitTicketButton"),   QStringLiteral("ReceiveTicketButton"),
        QStringLiteral("TransmitKeypadButton"),   QStringLiteral("ReceiveKeypadButton"),
        QStringLiteral("DownloadTotalsButton")};
    for (const QString& n : names) {
        auto* b = form->findChild<QToolButton*>(n);
        ASSERT_NE(b, nullptr) << n.toStdString();
        EXPECT_FALSE(b->isEnabled()) << n.toStdString();
    }
    for (const char* sheet :
         {"BaseSheet", "TicketSheet", "KeysSheet", "TotalsSheet", "SettingsSheet"})
        EXPECT_NE(form->findChild<QWidget*>(QString::fromLatin1(sheet)), nullptr) << sheet;
}

// Keeps a picture of every page; set DM_SCREENSHOT_DIR to choose where they go.
TEST_F(MainWindowTest, ScreenshotsOfThePages) {
    setLanguage(QStringLiteral("ENG"));
    auto form = start();
    form->resize(1000, 640);
    form->show();
    QString dir =
        QProcessEnvironment::systemEnvironment().value(QStringLiteral("DM_SCREENSHOT_DIR"));
    QTemporaryDir tmp;
    if (dir.isEmpty())
        dir = tmp.path();
    QDir().mkpath(dir);
    for (int i = 0; i < form->pageControl()->count(); ++i) {
        form->pageControl()->setCurrentIndex(i);
        const QImage shot = form->grab().toImage();
        ASSERT_FALSE(shot.isNull());
        EXPECT_GE(shot.width(), 910);
        ASSERT_TRUE(shot.save(dir + QStringLiteral("/page%1.png").arg(i)));
    }
}

// The first start finds neither a database nor the template: the report gives the reason
// of the failed copy, and the window still shows its texts in the chosen language.
TEST_F(MainWindowTest, FirstStartWithoutTemplateReportsWhyAndKeepsItsTexts) {
    QFile::remove(folder.path(QStringLiteral("System/Default.sqlite")));
    setLanguage(QStringLiteral("RUS"));
    auto form = start();
    EXPECT_FALSE(shell().DataLoaded);
    EXPECT_FALSE(form->database().isOpen());
    const QString path = folder.path(QStringLiteral("Data/Base.sqlite"));
    ASSERT_EQ(errors.size(), 1);
    // The texts of the report are the chosen language's too.
    const QString prefix = dbtext::createFailed(path, QString());
    EXPECT_TRUE(errors[0].startsWith(prefix)) << errors[0].toStdString();
    EXPECT_GT(errors[0].size(), prefix.size()); // the reason follows

    const IniFile rus(folder.path(QStringLiteral("Languages/RUS/Lang.dat")));
    EXPECT_EQ(form->pageControl()->tabText(0),
              rus.value(QStringLiteral("Main"), QStringLiteral("Products")));
    EXPECT_EQ(form->settingsPage()->ManagerGroup->OpenBaseButton->text(),
              rus.value(QStringLiteral("Settings"), QStringLiteral("Open")));
    EXPECT_EQ(form->settingsPage()->LangCombo->currentText(), QStringLiteral("RUS"));
    EXPECT_TRUE(form->caption().endsWith(path + u']'));
}

// Both grids show the one goods dataset; each titles its columns from its own section.
TEST_F(MainWindowTest, KeyProductsGridTakesItsTitlesFromSectionKeys) {
    addLanguage(QStringLiteral("TST"), "[Products]\r\nPLU=Goods PLU\r\nName=Goods name\r\n"
                                       "[Keys]\r\nPLU=Key PLU\r\nName=Key name\r\n");
    setLanguage(QStringLiteral("TST"));
    auto form = start();
    ASSERT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    QTableView* keys = form->keysPage()->KeyProductsGrid;
    auto* header = qobject_cast<dm::gui::TitledHeaderView*>(keys->horizontalHeader());
    ASSERT_NE(header, nullptr);
    const struct {
        int column;
        const char* goods;
        const char* key;
    } cases[] = {{ProductsDataSet::PLU, "Goods PLU", "Key PLU"},
                 {ProductsDataSet::RVTName, "Goods name", "Key name"},
                 {ProductsDataSet::Price, "Price", "Price"}};
    for (const auto& c : cases) {
        EXPECT_EQ(headerOf(form->goodsPage()->ProductsGrid->model(), c.column),
                  QString::fromUtf8(c.goods));
        EXPECT_EQ(header->sectionTitle(c.column), QString::fromUtf8(c.key));
    }
    EXPECT_EQ(keys->model(), &form->database().products());
    EXPECT_TRUE(header->stretchLastSection());
    EXPECT_TRUE(keys->isColumnHidden(ProductsDataSet::ID));
}

// The transfer buttons wait for the end of the first discovery pass, also one that finds
// nothing, and the timer stops then.
TEST_F(MainWindowTest, Timer1EnablesTheTransferButtonsOnceTheFirstPassEnds) {
    test::StartedWindow started = test::startQuietWindow(folder.root(), errors);
    TForm1& form = *started.form;
    auto* timer = form.findChild<QTimer*>(QStringLiteral("Timer1"));
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !timer->isActive(); }, 10000));
    EXPECT_TRUE(form.discovery().isDone());
    EXPECT_TRUE(form.discovery().snapshot().addresses.isEmpty());
    for (QToolButton* b : form.transferButtons())
        EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
}

TEST_F(MainWindowTest, StartsAtItsSmallestSizeCentredOnTheScreen) {
    TForm1 form{ProgramFolder(folder.root())};
    EXPECT_EQ(form.size(), QSize(894, 562));
    EXPECT_EQ(form.minimumSize(), QSize(894, 562));
    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(form.pos(), centredTopLeft(form.size(), screen->availableGeometry()));
}
