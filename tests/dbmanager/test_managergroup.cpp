// The database manager on the settings page, driven through the real window.
#include "app/gui/mainwindow.h"
#include "app/gui/settingspage.h"
#include "app/inifile.h"
#include "app/shellstate.h"
#include "app/startup.h"
#include "db/database.h"
#include "testsupport.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace dm;
using dm::gui::ManagerGroupBox;
using dm::gui::TForm1;

namespace {

class ManagerGroupTest : public ::testing::Test {
protected:
    test::ScratchProgramFolder folder;
    std::unique_ptr<TForm1> form;
    ManagerGroupBox* manager = nullptr;
    QStringList errors, notices, questions;
    QString saveName;

    void SetUp() override {
        form = std::make_unique<TForm1>(ProgramFolder(folder.root()));
        form->setErrorReporter([this](const QString& e) { errors.append(e); });
        form->FormCreate();
        manager = form->settingsPage()->ManagerGroup;
        manager->reportError = [this](const QString& e) { errors.append(e); };
        manager->notice = [this](const QString& n) { notices.append(n); };
        manager->ask = [this](const QString&, const QString& text) {
            questions.append(text);
            return true;
        };
        manager->askSaveName = [this](const QString&, const QString&) { return saveName; };
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
    manager->CopyBaseButtonClick();
    const QString copy = folder.path(QStringLiteral("copy.sqlite"));
    EXPECT_EQ(listed(), (QStringList{shell().CurrentDatabasePath, copy, copy}));
    EXPECT_TRUE(QFileInfo::exists(copy));

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
