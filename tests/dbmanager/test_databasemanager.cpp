#include "app/inifile.h"
#include "app/startup.h"
#include "db/databasemanager.h"
#include "testsupport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace dm;
using dm::test::readFile;
using dm::test::writeFile;

TEST(DatabaseManager, ExtensionRuleAndDialogNames) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {{"/d/shop", "/d/shop.sqlite"},
                 {"/d/shop.sqlite", "/d/shop.sqlite"},
                 {"/d/shop.SQLITE", "/d/shop.SQLITE.sqlite"},
                 {"/d/shop.db", "/d/shop.db.sqlite"},
                 {"/d/a.sqlite.bak", "/d/a.sqlite.bak.sqlite"}};
    for (const auto& c : cases)
        EXPECT_EQ(withDatabaseExtension(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
    EXPECT_EQ(newDatabaseName(QDateTime(QDate(2016, 1, 27), QTime(14, 5, 9))),
              QStringLiteral("Base 2016-01-27 14-05-09"));
    EXPECT_EQ(copyDatabaseName(QStringLiteral("/x/y/Shop.sqlite")),
              QStringLiteral("Copy Shop.sqlite"));
}

TEST(DatabaseManager, TheFileBeingLeftEntersTheHistoryOnce) {
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("System/History.log"));
    QStringList history;
    ASSERT_TRUE(rememberCurrentDatabase(history, QStringLiteral("/a.sqlite"), log));
    ASSERT_TRUE(rememberCurrentDatabase(history, QStringLiteral("/a.sqlite"), log));
    EXPECT_EQ(history, QStringList{QStringLiteral("/a.sqlite")});
    EXPECT_EQ(readHistory(log), history);
}

TEST(DatabaseManager, CopyingTwiceListsTwiceAndAFailedCopyListsNothing) {
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("History.log"));
    const QString source = dir.filePath(QStringLiteral("shop.sqlite"));
    writeFile(source, "data");
    QStringList history;
    const QString target = dir.filePath(QStringLiteral("Copy shop.sqlite"));
    ASSERT_TRUE(copyDatabaseFile(source, target, history, log, nullptr));
    ASSERT_TRUE(copyDatabaseFile(source, target, history, log, nullptr));
    EXPECT_EQ(history, (QStringList{target, target}));
    EXPECT_EQ(readFile(target), QByteArray("data"));

    QString error;
    EXPECT_FALSE(copyDatabaseFile(dir.filePath(QStringLiteral("missing.sqlite")),
                                  dir.filePath(QStringLiteral("other.sqlite")), history, log,
                                  &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(history.size(), 2);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("other.sqlite"))));
}

TEST(DatabaseManager, CreateCopiesTheTemplateOrChangesNothing) {
    QTemporaryDir dir;
    ProgramFolder folder(dir.path());
    QDir().mkpath(folder.systemDir());
    const QString target = dir.filePath(QStringLiteral("new.sqlite"));
    ASSERT_TRUE(writeIniValue(folder.terminalIni(), QStringLiteral("Global"),
                              QStringLiteral("Base"), QStringLiteral("/current.sqlite")));

    // No template: reported, and terminal.ini still names the current database.
    QString error;
    EXPECT_FALSE(createDatabaseFromTemplate(folder, target, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_EQ(readIniValue(folder.terminalIni(), QStringLiteral("Global"), QStringLiteral("Base")),
              QStringLiteral("/current.sqlite"));

    writeFile(folder.templateDatabase(), "template");
    writeFile(target, "old contents");
    ASSERT_TRUE(createDatabaseFromTemplate(folder, target, &error)) << error.toStdString();
    EXPECT_EQ(readFile(target), QByteArray("template"));
    EXPECT_EQ(readIniValue(folder.terminalIni(), QStringLiteral("Global"), QStringLiteral("Base")),
              target);
}

TEST(DatabaseManager, OnlyANameTheExtensionRuleChangedOntoAFileThatExistsIsUnasked) {
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("shop.sqlite")), "data");
    const struct {
        const char* chosen;
        bool unasked;
    } cases[] = {{"shop", true},          // becomes shop.sqlite, which exists
                 {"shop.sqlite", false},  // the dialog asked about this very name
                 {"other", false},        // other.sqlite does not exist
                 {"shop.SQLITE", false}}; // shop.SQLITE.sqlite does not exist
    for (const auto& c : cases)
        EXPECT_EQ(replacesUnaskedFile(dir.filePath(QString::fromUtf8(c.chosen))), c.unasked)
            << c.chosen;
}

TEST(DatabaseManager, SameFileComparesResolvedPaths) {
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.sqlite"));
    writeFile(a, "a");
    writeFile(dir.filePath(QStringLiteral("b.sqlite")), "b");
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    ASSERT_TRUE(QFile::link(a, dir.filePath(QStringLiteral("link.sqlite"))));
    const struct {
        QString other;
        bool same;
    } cases[] = {{a, true},
                 {dir.filePath(QStringLiteral("sub/../a.sqlite")), true},
                 {dir.filePath(QStringLiteral("link.sqlite")), true},
                 {dir.filePath(QStringLiteral("b.sqlite")), false},
                 {dir.filePath(QStringLiteral("missing.sqlite")), false},
                 {QString(), false}};
    for (const auto& c : cases)
        EXPECT_EQ(isSameFile(a, c.other), c.same) << c.other.toStdString();
    EXPECT_FALSE(isSameFile(QString(), QString()));
}

TEST(DatabaseManager, DialogsStartBesideTheCurrentFileOrInTheDataFolder) {
    QTemporaryDir dir;
    ProgramFolder folder(dir.filePath(QStringLiteral("program")));
    const QString shop = dir.filePath(QStringLiteral("shops/shop.sqlite"));
    QDir().mkpath(dir.filePath(QStringLiteral("shops")));
    writeFile(shop, "data");
    EXPECT_EQ(databaseDialogFolder(folder, shop), dir.filePath(QStringLiteral("shops")));
    for (const QString& none : {QString(), dir.filePath(QStringLiteral("gone/x.sqlite"))})
        EXPECT_EQ(databaseDialogFolder(folder, none), folder.path(QStringLiteral("Data")));
}
