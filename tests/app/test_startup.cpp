#include "app/inifile.h"
#include "app/startup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace dm;

namespace {
struct Folder {
    QTemporaryDir dir;
    ProgramFolder folder{dir.path()};
    Folder() {
        QDir().mkpath(folder.systemDir());
        QFile t(folder.templateDatabase());
        t.open(QIODevice::WriteOnly);
        t.write("template");
    }
};
QByteArray readAll(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}
} // namespace

TEST(ChooseDatabaseFile, FallsBackToDefaultMadeFromTemplate) {
    Folder f;
    for (const QString& base : {QString(), f.folder.path(QStringLiteral("Data/deleted.sqlite"))}) {
        QFile::remove(f.folder.defaultDatabase());
        IniFile ini;
        ini.setValue(QStringLiteral("Global"), QStringLiteral("Base"), base);
        const DatabaseChoice c = chooseDatabaseFile(f.folder, ini);
        EXPECT_EQ(c.path, f.folder.defaultDatabase());
        EXPECT_TRUE(c.fellBack);
        EXPECT_TRUE(c.createdFromTemplate);
        EXPECT_EQ(readAll(c.path), QByteArray("template"));
        EXPECT_EQ(ini.value(QStringLiteral("Global"), QStringLiteral("Base")), c.path);
    }
}

TEST(ChooseDatabaseFile, KeepsExistingBaseAndExistingDefault) {
    Folder f;
    const QString other = f.folder.path(QStringLiteral("shop.sqlite"));
    QFile o(other);
    ASSERT_TRUE(o.open(QIODevice::WriteOnly));
    o.close();
    IniFile ini;
    ini.setValue(QStringLiteral("Global"), QStringLiteral("Base"), other);
    EXPECT_EQ(chooseDatabaseFile(f.folder, ini).path, other);

    // An existing default database is never overwritten by the template.
    QDir().mkpath(f.folder.path(QStringLiteral("Data")));
    QFile d(f.folder.defaultDatabase());
    ASSERT_TRUE(d.open(QIODevice::WriteOnly));
    d.write("mine");
    d.close();
    IniFile empty;
    const DatabaseChoice c = chooseDatabaseFile(f.folder, empty);
    EXPECT_FALSE(c.createdFromTemplate);
    EXPECT_EQ(readAll(c.path), QByteArray("mine"));
}

TEST(ChooseDatabaseFile, MissingTemplateIsReportedNotHidden) {
    Folder f;
    QFile::remove(f.folder.templateDatabase());
    IniFile ini;
    const DatabaseChoice c = chooseDatabaseFile(f.folder, ini);
    EXPECT_FALSE(c.createdFromTemplate);
    EXPECT_FALSE(c.copyError.isEmpty());
}

// A relative Base lies under the program folder, whatever the working folder is.
TEST(ChooseDatabaseFile, RelativeBaseIsTakenFromTheProgramFolder) {
    Folder f;
    QTemporaryDir elsewhere;
    const QString relative = QStringLiteral("shops/shop.sqlite");
    QDir().mkpath(elsewhere.filePath(QStringLiteral("shops")));
    QFile w(elsewhere.filePath(relative));
    ASSERT_TRUE(w.open(QIODevice::WriteOnly));
    w.close();
    const QString working = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
    struct Restore {
        QString path;
        ~Restore() { QDir::setCurrent(path); }
    } restore{working};

    // Only under the working folder: not taken.
    IniFile ini;
    ini.setValue(QStringLiteral("Global"), QStringLiteral("Base"), relative);
    DatabaseChoice c = chooseDatabaseFile(f.folder, ini);
    EXPECT_TRUE(c.fellBack);
    EXPECT_EQ(c.path, f.folder.defaultDatabase());

    // Under the program folder: taken, and written back in full.
    QDir().mkpath(f.folder.path(QStringLiteral("shops")));
    QFile p(f.folder.path(relative));
    ASSERT_TRUE(p.open(QIODevice::WriteOnly));
    p.close();
    ini.setValue(QStringLiteral("Global"), QStringLiteral("Base"), QStringLiteral("./") + relative);
    c = chooseDatabaseFile(f.folder, ini);
    EXPECT_FALSE(c.fellBack);
    EXPECT_EQ(c.path, f.folder.path(relative));
    EXPECT_EQ(ini.value(QStringLiteral("Global"), QStringLiteral("Base")), c.path);
}

TEST(ResolveLanguageName, FallsBackToEnglishThenFirstThenNone) {
    const QStringList both{QStringLiteral("RUS"), QStringLiteral("ENG")};
    EXPECT_EQ(resolveLanguageName(QStringLiteral("RUS"), both), QStringLiteral("RUS"));
    EXPECT_EQ(resolveLanguageName(QStringLiteral("DEU"), both), QStringLiteral("ENG"));
    EXPECT_EQ(resolveLanguageName(QStringLiteral("DEU"), {QStringLiteral("LTU")}),
              QStringLiteral("LTU"));
    EXPECT_TRUE(resolveLanguageName(QStringLiteral("DEU"), {}).isEmpty());
}

TEST(History, LinesRoundTripWithCrLf) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("System/History.log"));
    bool exists = true;
    EXPECT_TRUE(readHistory(path, &exists).isEmpty());
    EXPECT_FALSE(exists);
    const QStringList lines{QStringLiteral("/a/Магазин.sqlite"), QStringLiteral("/b/c,d.sqlite")};
    ASSERT_TRUE(writeHistory(path, lines));
    EXPECT_EQ(readAll(path), QStringLiteral("/a/Магазин.sqlite\r\n/b/c,d.sqlite\r\n").toUtf8());
    EXPECT_EQ(readHistory(path, &exists), lines);
    EXPECT_TRUE(exists);
}
