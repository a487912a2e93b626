// Starts the real program in a scratch program folder, as a shop would on first start.
#include "app/inifile.h"
#include "testsupport.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>
#include <gtest/gtest.h>

using namespace dm;

namespace {
int count(QSqlDatabase& db, const QString& table) {
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(table)) || !q.next())
        return -1;
    return q.value(0).toInt();
}
} // namespace

TEST(DataManagerProcess, FirstStartMakesSettingsAndDatabaseAndShutsDownClean) {
    test::ScratchProgramFolder folder;
    ASSERT_TRUE(QFileInfo::exists(folder.path(QStringLiteral("datamanager"))));
    ASSERT_FALSE(QFileInfo::exists(folder.path(QStringLiteral("System/terminal.ini"))));

    QProcess proc;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    proc.setProcessEnvironment(env);
    proc.setProcessChannelMode(QProcess::ForwardedChannels);
    proc.start(folder.path(QStringLiteral("datamanager")), {});
    ASSERT_TRUE(proc.waitForStarted(10000));

    // The language is written late in the reload sequence; the termination request is
    // handled by the event loop, which only runs once the reload has finished.
    const QString ini = folder.path(QStringLiteral("System/terminal.ini"));
    QDeadlineTimer deadline(30000);
    while (!deadline.hasExpired() &&
           readIniValue(ini, QStringLiteral("Global"), QStringLiteral("Language")).isEmpty())
        QThread::msleep(50);
    proc.terminate();
    ASSERT_TRUE(proc.waitForFinished(30000));
    EXPECT_EQ(proc.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(proc.exitCode(), 0);

    const QString base = readIniValue(ini, QStringLiteral("Global"), QStringLiteral("Base"));
    EXPECT_EQ(QFileInfo(base).canonicalFilePath(),
              QFileInfo(folder.path(QStringLiteral("Data/Base.sqlite"))).canonicalFilePath());
    EXPECT_EQ(readIniValue(ini, QStringLiteral("Global"), QStringLiteral("Language")),
              QStringLiteral("ENG"));

    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
        db.setDatabaseName(base);
        ASSERT_TRUE(db.open());
        EXPECT_EQ(count(db, QStringLiteral("TicketLines")), 8);
        EXPECT_EQ(count(db, QStringLiteral("Salesmen")), 9);
        const int keypads = count(db, QStringLiteral("KeyPads"));
        EXPECT_GE(keypads, 1);
        EXPECT_EQ(count(db, QStringLiteral("Keys")), 33 * keypads);
        EXPECT_EQ(count(db, QStringLiteral("Products")), 0);
        EXPECT_EQ(count(db, QStringLiteral("ScalesSettings")), 0);
        EXPECT_EQ(count(db, QStringLiteral("Totals")), 0);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("check"));

    // Compaction leaves nothing behind but the database itself.
    EXPECT_EQ(QDir(folder.path(QStringLiteral("Data"))).entryList(QDir::Files),
              QStringList{QStringLiteral("Base.sqlite")});
}
