// The database manager on the settings page, driven through the real window.
#include "app/gui/mainwindow.h"
#include "app/gui/settingspage.h"
#include "app/inifile.h"
#include "app/shellstate.h"
#include "app/startup.h"
#include "db/database.h"
#include "guisupport.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace dm;
using dm::gui::ManagerGroupBox;
using dm::gui::TForm1;
using dm::test::readFile;
using dm::test::writeFile;

namespace {

class ManagerGroupTest : public ::testing::Test {
protected:
    test::ScratchProgramFolder folder;
    std::unique_ptr<TForm1> form;
    ManagerGroupBox* manager = nullptr;
    QStringList errors, notices, questions;
    QString saveName;
    bool answer = true;
    int reloads = 0;

    void SetUp() override {
        form = std::make_unique<TForm1>(ProgramFolder(folder.root()));
        test::keepDiscoveryQuiet(*form);
        form->setErrorReporter([this](const QString& e) { errors.append(e); });
        form->FormCreate();
        manager = form->settingsPage()->ManagerGroup;
        manager->reportError = [this](const QString& e) { errors.append(e); };
        manager->notice = [this](const QString& n) { notices.append(n); };
        manager->ask = [this](const QString&, const QString& text) {
            questions.append(text);
            return answer;
        };
        manager->askSaveName = [this](const QString&, const QString&) { return saveName; };
        const auto reload = manager->reload;
        manager->reload = [this, reload] {
            ++reloads;
            reload();
        };
    }
    void select(const QList<int>& rows) {
        manager->DatabaseListBox->clearSelection();
        for (int r : rows)
            manager->DatabaseListBox->item(r)->setSelected(true);
    }
    QString terminalBase() const {
        return readIniValue(folder.path(QStringLiteral("System/terminal.ini")),
                            QStringLiteral("Global"), QStringLiteral("Base"));
    }
    QStringList listed() const {
        QStringList items;
        for (int i = 0; i < manager->DatabaseListBox->count(); ++i)
            items.append(manager->DatabaseListBox->item(i)->text());
        return items;
    }
};

} // namespace

TEST_F(ManagerGroupTest, CreateAppliesTheExtensionRuleAndRemembersTheFileLeft) {
    const QString first = shell().CurrentDatabasePath;
    const struct {
        const char* typed;
        const char* made;
    } cases[] = {{"shop", "shop.sqlite"}, {"shop.SQLITE", "shop.SQLITE.sqlite"}};
    for (const auto& c : cases) {
        saveName = folder.path(QString::fromUtf8(c.typed));
        manager->CreateBaseButtonClick();
        EXPECT_EQ(shell().CurrentDatabasePath, folder.path(QString::fromUtf8(c.made))) << c.typed;
        EXPECT_TRUE(form->database().isOpen());
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    EXPECT_EQ(listed(), (QStringList{first, folder.path(QStringLiteral("shop.sqlite"))}));
    EXPECT_EQ(readHistory(folder.path(QStringLiteral("System/History.log"))), listed());
}

TEST_F(ManagerGroupTest, FailedTemplateCopyIsReportedAndTheDatabaseStays) {
    const QString current = shell().CurrentDatabasePath;
    QFile::remove(folder.path(QStringLiteral("System/Default.sqlite")));
    saveName = folder.path(QStringLiteral("new"));
    manager->CreateBaseButtonClick();
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(shell().CurrentDatabasePath, current);
    EXPECT_EQ(readIniValue(folder.path(QStringLiteral("System/terminal.ini")),
                           QStringLiteral("Global"), QStringLiteral("Base")),
              current);
    EXPECT_FALSE(QFileInfo::exists(folder.path(QStringLiteral("new.sqlite"))));
}

TEST_F(ManagerGroupTest, RemovingSeveralAsksOnceAndCopyingTwiceListsTwice) {
    saveName = folder.path(QStringLiteral("copy"));
    manager->DatabaseListBox->addItem(shell().CurrentDatabasePath);
    manager->DatabaseListBox->setCurrentRow(0);
    manager->CopyBaseButtonClick();
    manager->DatabaseListBox->setCurrentRow(0);
    manager->CopyBaseButtonClick(); // copy.sqlite now exists: asked, and replaced
    const QString copy = folder.path(QStringLiteral("copy.sqlite"));
    EXPECT_EQ(listed(), (QStringList{shell().CurrentDatabasePath, copy, copy}));
    EXPECT_TRUE(QFileInfo::exists(copy));
    EXPECT_EQ(questions.size(), 1);
    questions.clear();

    manager->DatabaseListBox->selectAll();
    manager->DeleteBaseButtonClick();
    EXPECT_EQ(questions.size(), 1);
    EXPECT_TRUE(listed().isEmpty());
    EXPECT_TRUE(QFileInfo::exists(copy)); // only the list entry goes
    EXPECT_TRUE(readHistory(folder.path(QStringLiteral("System/History.log"))).isEmpty());

    manager->DeleteBaseButtonClick(); // nothing selected
    EXPECT_EQ(notices, QStringList{QStringLiteral("Base is not selected")});
}

TEST_F(ManagerGroupTest, ADeletedListedFileGivesTheNoticeAndChangesNothing) {
    const QString current = shell().CurrentDatabasePath;
    const QString gone = folder.path(QStringLiteral("gone.sqlite"));
    manager->DatabaseListBox->addItem(gone);
    manager->DatabaseListBoxDblClick(manager->DatabaseListBox->item(0));
    EXPECT_EQ(notices, QStringList{QStringLiteral("Base ") + gone + QStringLiteral(" not found")});
    EXPECT_EQ(shell().CurrentDatabasePath, current);
    EXPECT_EQ(listed(), QStringList{gone});
}

// The dialog asked about "shop" only; shop.sqlite, with the shop's data, is asked about
// before Create or Copy replaces it, and No leaves everything as it was.
TEST_F(ManagerGroupTest, ANameTheExtensionRuleMadeIsAskedAboutBeforeItIsReplaced) {
    const QString current = shell().CurrentDatabasePath;
    const QString shop = folder.path(QStringLiteral("shop.sqlite"));
    const QString source = folder.path(QStringLiteral("source.sqlite"));
    ASSERT_TRUE(QFile::copy(folder.path(QStringLiteral("System/Default.sqlite")), source));
    QFile::setPermissions(source, QFile::permissions(source) | QFileDevice::WriteOwner);
    const struct {
        const char* name;
        bool copy;
        const char* typed;
        bool answer;
        bool asked;
        bool replaced;
    } cases[] = {
        {"create, No", false, "shop", false, true, false},
        {"copy, No", true, "shop", false, true, false},
        {"create, Yes", false, "shop", true, true, true},
        {"copy, Yes", true, "shop", true, true, true},
        // The dialog itself asks about a name it was given in full.
        {"copy, full name", true, "shop.sqlite", false, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(shop, "the shop's data");
        manager->DatabaseListBox->clear();
        manager->DatabaseListBox->addItem(source);
        select({0});
        questions.clear();
        answer = c.answer;
        saveName = folder.path(QString::fromUtf8(c.typed));
        if (c.copy)
            manager->CopyBaseButtonClick();
        else
            manager->CreateBaseButtonClick();
        ASSERT_EQ(questions.size(), c.asked ? 1 : 0);
        if (c.asked) {
            EXPECT_TRUE(questions[0].contains(QDir::toNativeSeparators(shop)));
        }
        EXPECT_EQ(readFile(shop) != QByteArray("the shop's data"), c.replaced);
        if (c.replaced && c.copy) {
            EXPECT_EQ(readFile(shop), readFile(source));
        }
        if (!c.replaced) {
            EXPECT_EQ(listed(), QStringList{source});
            EXPECT_EQ(shell().CurrentDatabasePath, current);
            EXPECT_EQ(terminalBase(), current);
        }
        // Create switches to the new file; go back for the next case.
        if (shell().CurrentDatabasePath != current) {
            ASSERT_TRUE(writeIniValue(folder.path(QStringLiteral("System/terminal.ini")),
                                      QStringLiteral("Global"), QStringLiteral("Base"), current));
            form->ReloadAll();
        }
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
}

// A copy onto the open database replaces the file under the connection; the window then
// works on the file as it now is, and its writes reach it.
TEST_F(ManagerGroupTest, CopyOntoTheCurrentDatabaseReopensIt) {
    const QString current = shell().CurrentDatabasePath;
    const QString other = folder.path(QStringLiteral("other.sqlite"));
    ASSERT_TRUE(QFile::copy(folder.path(QStringLiteral("System/Default.sqlite")), other));
    QFile::setPermissions(other, QFile::permissions(other) | QFileDevice::WriteOwner);
    {
        Database db;
        db.open(other);
        db.products().append({{QStringLiteral("PLU"), 7},
                              {QStringLiteral("RVTName"), QStringLiteral("Apples")},
                              {QStringLiteral("Type"), QStringLiteral("weight")},
                              {QStringLiteral("Price"), QStringLiteral("2.00")}});
    }
    manager->DatabaseListBox->addItem(other);
    select({0});
    reloads = 0;
    // Data/Base, made Data/Base.sqlite by the extension rule: the current file.
    saveName = current.chopped(QStringLiteral(".sqlite").size());
    manager->CopyBaseButtonClick();
    EXPECT_EQ(questions.size(), 1);
    EXPECT_EQ(reloads, 1);
    ASSERT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    EXPECT_EQ(shell().CurrentDatabasePath, current);
    ASSERT_TRUE(form->database().isOpen());
    ProductsDataSet& goods = form->database().products();
    ASSERT_EQ(goods.recordCount(), 1);
    EXPECT_EQ(goods.value(0, ProductsDataSet::RVTName).toString(), QStringLiteral("Apples"));

    goods.post(0, {{QStringLiteral("RVTName"), QStringLiteral("Pears")}});
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    form->database().close();
    Database check;
    check.open(current);
    ASSERT_EQ(check.products().recordCount(), 1);
    EXPECT_EQ(check.products().value(0, ProductsDataSet::RVTName).toString(),
              QStringLiteral("Pears"));

    // Copying from the current file leaves the connection alone.
    check.close();
    form->ReloadAll();
    manager->DatabaseListBox->clear();
    manager->DatabaseListBox->addItem(current);
    select({0});
    reloads = 0;
    saveName = folder.path(QStringLiteral("backup"));
    manager->CopyBaseButtonClick();
    EXPECT_EQ(reloads, 0);
    EXPECT_TRUE(QFileInfo::exists(folder.path(QStringLiteral("backup.sqlite"))));
}

// With several entries selected, and the current entry not among them, the first selected
// entry in list order is copied.
TEST_F(ManagerGroupTest, CopyTakesTheFirstSelectedEntryNotTheCurrentOne) {
    QStringList files;
    for (const char* n : {"a", "b", "c"}) {
        files << folder.path(QString::fromUtf8(n) + QStringLiteral(".sqlite"));
        writeFile(files.last(), QByteArray("file ") + n);
        manager->DatabaseListBox->addItem(files.last());
    }
    QListWidget* list = manager->DatabaseListBox;
    list->selectionModel()->setCurrentIndex(list->model()->index(0, 0),
                                            QItemSelectionModel::NoUpdate);
    select({2, 1});
    ASSERT_EQ(list->currentRow(), 0);
    saveName = folder.path(QStringLiteral("copy"));
    manager->CopyBaseButtonClick();
    EXPECT_EQ(readFile(folder.path(QStringLiteral("copy.sqlite"))), QByteArray("file b"));
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
}

// The dialogs start beside the current database, not in the working folder, and offer
// the database files by name.
TEST_F(ManagerGroupTest, DialogsStartInTheFolderOfTheCurrentDatabase) {
    const QString data = folder.path(QStringLiteral("Data"));
    ASSERT_EQ(QFileInfo(shell().CurrentDatabasePath).absolutePath(), data);
    QString openFolder = QStringLiteral("none");
    manager->askOpenName = [&](const QString&, const QString& start) {
        openFolder = start;
        return QString();
    };
    QStringList proposed;
    manager->askSaveName = [&](const QString&, const QString& name) {
        proposed << name;
        return QString();
    };
    manager->OpenBaseButtonClick();
    manager->CreateBaseButtonClick();
    manager->DatabaseListBox->addItem(folder.path(QStringLiteral("elsewhere/shop.sqlite")));
    select({0});
    manager->CopyBaseButtonClick();
    EXPECT_EQ(openFolder, data);
    ASSERT_EQ(proposed.size(), 2);
    EXPECT_TRUE(proposed[0].startsWith(data + QStringLiteral("/Base 20")))
        << proposed[0].toStdString();
    EXPECT_EQ(proposed[1], data + QStringLiteral("/Copy shop.sqlite"));
    EXPECT_EQ(ManagerGroupBox::databaseFilter(), QStringLiteral("Database files (*.sqlite)"));
}

// Open switches to the chosen file through terminal.ini and the reload, and the file left
// enters the history; opening the current file lists it and reloads; a cancelled dialog
// changes nothing.
TEST_F(ManagerGroupTest, OpenSwitchesToTheChosenFileAndListsTheOneLeft) {
    const QString first = shell().CurrentDatabasePath;
    const QString other = folder.path(QStringLiteral("Data/other.sqlite"));
    ASSERT_TRUE(QFile::copy(folder.path(QStringLiteral("System/Default.sqlite")), other));
    QFile::setPermissions(other, QFile::ReadOwner | QFile::WriteOwner);
    QString chosen;
    manager->askOpenName = [&](const QString&, const QString&) { return chosen; };

    manager->OpenBaseButtonClick();
    EXPECT_EQ(reloads, 0);
    EXPECT_EQ(shell().CurrentDatabasePath, first);

    chosen = other;
    manager->OpenBaseButtonClick();
    EXPECT_EQ(reloads, 1);
    EXPECT_EQ(terminalBase(), other);
    EXPECT_EQ(shell().CurrentDatabasePath, other);
    EXPECT_TRUE(form->database().isOpen());
    EXPECT_TRUE(listed().contains(first));

    manager->OpenBaseButtonClick();
    EXPECT_EQ(reloads, 2);
    EXPECT_TRUE(listed().contains(other));
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
}
