#include "scalefiles/totalsfile.h"

#include "transfertest.h"

#include <QProcess>

using namespace dm;
using namespace dm::test;

namespace {

// Scales of this file live on 127.0.0.80 to 127.0.0.89; nothing listens on .89.
QString at(int n) {
    return QStringLiteral("127.0.0.%1").arg(n);
}

struct Result {
    int code;
    QString out, err;
};

TEST(DmctlTransfer, UploadDownloadAndTotals) {
    ScratchProgramFolder folder;
    QDir().mkpath(folder.path(QStringLiteral("Data")));
    ASSERT_TRUE(QFile::copy(folder.path(QStringLiteral("System/Default.sqlite")),
                            folder.path(QStringLiteral("Data/Base.sqlite"))));
    QFile::setPermissions(folder.path(QStringLiteral("Data/Base.sqlite")),
                          QFile::ReadOwner | QFile::WriteOwner);
    QTemporaryDir scaleFiles;
    SimProcess sim;
    ASSERT_TRUE(sim.start(
        {QStringLiteral("--address"), at(80), QStringLiteral("--folder"), scaleFiles.path()}));
    // A scale that drops the connection instead of answering the first file block.
    QTemporaryDir droppingFiles;
    SimProcess dropping;
    ASSERT_TRUE(
        dropping.start({QStringLiteral("--address"), at(82), QStringLiteral("--folder"),
                        droppingFiles.path(), QStringLiteral("--fault"), QStringLiteral("drop"),
                        QStringLiteral("--fault-at"), QStringLiteral("2")}));

    const auto dmctl = [&](const QStringList& args) {
        QProcess p;
        p.start(dmctlPath(), QStringList{QStringLiteral("--program-folder"), folder.root(),
                                         QStringLiteral("--language"), QStringLiteral("ENG")} +
                                 args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return Result{p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                      QString::fromUtf8(p.readAllStandardError())};
    };
    const QString scale = QStringLiteral("--scale");
    struct Step {
        QStringList args;
        int code;
        QString output; // a line expected on standard output
    };
    const auto run = [&](std::initializer_list<Step> steps) {
        for (const Step& s : steps) {
            SCOPED_TRACE(s.args.join(u' ').toStdString());
            const Result r = dmctl(s.args);
            EXPECT_EQ(r.code, s.code) << r.out.toStdString() << r.err.toStdString();
            if (!s.output.isEmpty()) {
                EXPECT_TRUE(r.out.split(u'\n').contains(s.output)) << r.out.toStdString();
            }
        }
    };
    run({
        {{QStringLiteral("upload"), scale, at(80)},
         0,
         QStringLiteral("Uploading completed ( <127.0.0.80>)")},
        {{QStringLiteral("upload"), scale, at(89), scale, at(80)},
         1,
         QStringLiteral("Connection failed to scales (127.0.0.89)")},
        {{QStringLiteral("upload"), scale, at(82)}, 1, QStringLiteral("Uploading error")},
        // The scale now holds the four files; they come back and are imported.
        {{QStringLiteral("download"), scale, at(80)},
         0,
         QStringLiteral("Downloading completed ((127.0.0.80)")},
        {{QStringLiteral("totals"), scale, at(80)}, 1, QStringLiteral("Totals is absent")},
        {{QStringLiteral("upload")}, 2, QString()},
        {{QStringLiteral("upload"), scale, at(80), QStringLiteral("--found")}, 2, QString()},
        {{QStringLiteral("download"), scale, at(80), scale, at(81)}, 2, QString()},
        {{QStringLiteral("totals"), scale, at(80), QStringLiteral("--bogus")}, 2, QString()},
    });
    QByteArray totals;
    AppendTotalsRecord(
        totals, {5, false, 1500, 3, 9000, 17, QDateTime(QDate(2024, 1, 2), QTime(9, 0), Qt::UTC)});
    writeFile(QDir(scaleFiles.path()).filePath(QStringLiteral("Totals.dat")), totals);
    run({{{QStringLiteral("totals"), scale, at(80), QStringLiteral("--pauses")},
          0,
          QStringLiteral("Downloading completed ((127.0.0.80)")}});

    for (const char* name : {"RVT.dat", "Salesmen.dat", "keyboard.dat"}) {
        const QString file = QString::fromLatin1(name);
        EXPECT_FALSE(readFile(QDir(scaleFiles.path()).filePath(file)).isEmpty()) << name;
        EXPECT_EQ(readFile(QDir(scaleFiles.path()).filePath(file)),
                  readFile(folder.path(QStringLiteral("Export/") + file)))
            << name;
    }
}

} // namespace
