#include "comm/discovery.h"
#include "scalefiles/totalsfile.h"

#include "commsupport.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace dm;
using namespace dm::test;

namespace dm {
void PrintTo(const FoundScales& f, std::ostream* os) {
    *os << f.addresses.join(u' ').toStdString() << " / modes";
    for (const QString& m : f.modes)
        *os << ' ' << (m.isEmpty() ? -1 : int(m[0].unicode()));
}
} // namespace dm

namespace {

struct BroadcastCase {
    const char* address;
    const char* mask;
    const char* broadcast;
};

TEST(BroadcastAddress, OctetByOctet) {
    const BroadcastCase cases[] = {
        {"192.168.1.17", "255.255.255.0", "192.168.1.255"},
        {"10.1.2.3", "255.0.0.0", "10.255.255.255"},
        {"172.16.5.4", "255.255.240.0", "172.16.5.255"},
        {"10.0.0.7", "255.255.255.255", "10.0.0.7"},
        {"10.0.0.7", "0.0.0.0", "255.255.255.255"},
        {"10.0.0", "255.255.255.0", ""},
        {"10.0.0.256", "255.255.255.0", ""},
        {"10.0.0.x", "255.255.255.0", ""},
        {"10.0.0.1", "255.255.255.", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BroadcastAddress(QString::fromLatin1(c.address), QString::fromLatin1(c.mask)),
                  QString::fromLatin1(c.broadcast))
            << c.address << " " << c.mask;
}

TEST(ScaleModeWord, BytesAndDigits) {
    EXPECT_EQ(scaleModeWord(QChar(0)), QStringLiteral("VOLA"));
    EXPECT_EQ(scaleModeWord(QChar(u'0')), QStringLiteral("VOLA"));
    EXPECT_EQ(scaleModeWord(QChar(1)), QStringLiteral("ZUN"));
    EXPECT_EQ(scaleModeWord(QChar(u'1')), QStringLiteral("ZUN"));
    EXPECT_EQ(scaleModeWord(QChar(2)), QStringLiteral("QEL"));
    EXPECT_EQ(scaleModeWord(QChar(u'2')), QStringLiteral("QEL"));
    EXPECT_TRUE(scaleModeWord(QChar(3)).isEmpty());
    EXPECT_TRUE(scaleModeWord(QChar(u'3')).isEmpty());
}

template <typename Pred> bool waitFor(Pred pred, int ms = 10000) {
    QElapsedTimer t;
    t.start();
    while (!pred()) {
        if (t.elapsed() > ms)
            return false;
        QThread::msleep(2);
    }
    return true;
}

// On loopback, without broadcast: the "interface" handed to the pass is the scale's own
// address with a mask whose octets are all non-zero, so the Identify goes to the scale
// itself, and the listener is bound to an address of this test alone.
class LoopbackDiscovery : public testing::Test {
protected:
    DiscoveryOptions options(int listenMs) const {
        DiscoveryOptions o;
        o.listenMs = listenMs;
        o.bindAddress = QHostAddress(QStringLiteral("127.0.0.40"));
        o.interfaces = [] {
            return QList<InterfaceAddress>{
                {QStringLiteral("127.0.0.41"), QStringLiteral("255.255.255.254")}};
        };
        return o;
    }
    bool startScale() {
        return sim.start({QStringLiteral("--address"), QStringLiteral("127.0.0.41"),
                          QStringLiteral("--mode"), QStringLiteral("0")});
    }
    SimProcess sim;
};

TEST_F(LoopbackDiscovery, ClearedFlagKeepsThePublishedListsUntilSetAgain) {
    ASSERT_TRUE(startScale());
    // Pass 1 finds the scale; pass 2 finds nothing, and the flag is cleared while it
    // runs; later passes find nothing.
    std::atomic<int> pass{0};
    ScaleDiscovery discovery;
    DiscoveryOptions o = options(300);
    const auto scale = o.interfaces();
    o.interfaces = [&] {
        const int p = ++pass;
        if (p == 2)
            discovery.setEnabled(false);
        return p == 1 ? scale : QList<InterfaceAddress>();
    };
    discovery.setOptions(o);
    EXPECT_FALSE(discovery.isDone());
    discovery.start();
    discovery.start(); // a second start makes no second thread
    const FoundScales one{{QStringLiteral("127.0.0.41")}, {QString(QChar(0))}};
    ASSERT_TRUE(waitFor([&] { return discovery.passesEnded() >= 2; }));
    EXPECT_TRUE(discovery.isDone());
    EXPECT_EQ(discovery.snapshot(), one);
    QThread::msleep(100); // no pass starts while the flag is clear
    EXPECT_EQ(discovery.passesStarted(), 2u);
    EXPECT_EQ(pass, 2);

    discovery.setEnabled(true);
    ASSERT_TRUE(waitFor([&] { return discovery.passesEnded() >= 3; }));
    EXPECT_EQ(discovery.snapshot(), FoundScales());
}

TEST_F(LoopbackDiscovery, StopEndsTheListeningEarly) {
    ScaleDiscovery discovery(options(60000));
    discovery.start();
    ASSERT_TRUE(waitFor([&] { return discovery.passesStarted() > 0; }));
    QElapsedTimer t;
    t.start();
    discovery.stop();
    EXPECT_LT(t.elapsed(), 1000);
    EXPECT_FALSE(discovery.isRunning());
    EXPECT_FALSE(discovery.isDone());
}

// Broadcast discovery between two network namespaces joined by a veth pair: the
// scales live in one, dmctl discover runs in the other.
class NamespaceDiscovery : public testing::Test {
protected:
    static bool ip(const QStringList& args, QString* error = nullptr) {
        QProcess p;
        p.start(QStringLiteral("ip"), args);
        if (!p.waitForFinished(10000) || p.exitCode() != 0) {
            if (error)
                *error = QString::fromUtf8(p.readAllStandardError()).trimmed();
            return false;
        }
        return true;
    }
    void SetUp() override {
        if (geteuid() != 0)
            GTEST_SKIP() << "needs root to make network namespaces (ip netns)";
        const QString tag = QString::number(getpid() % 100000);
        scales = QStringLiteral("dms") + tag;
        program = QStringLiteral("dmp") + tag;
        QString error;
        if (!ip({QStringLiteral("netns"), QStringLiteral("add"), scales}, &error))
            GTEST_SKIP() << "ip netns is not available here: " << error.toStdString();
        made.append(scales);
        ASSERT_TRUE(ip({QStringLiteral("netns"), QStringLiteral("add"), program}));
        made.append(program);
        const QString vs = QStringLiteral("vs") + tag, vp = QStringLiteral("vp") + tag;
        ASSERT_TRUE(
            ip({QStringLiteral("link"), QStringLiteral("add"), vp, QStringLiteral("type"),
                QStringLiteral("veth"), QStringLiteral("peer"), QStringLiteral("name"), vs}));
        ASSERT_TRUE(ip(
            {QStringLiteral("link"), QStringLiteral("set"), vp, QStringLiteral("netns"), program}));
        ASSERT_TRUE(ip(
            {QStringLiteral("link"), QStringLiteral("set"), vs, QStringLiteral("netns"), scales}));
        auto in = [](const QString& ns, QStringList args) {
            return ip(QStringList{QStringLiteral("-n"), ns} + args);
        };
        ASSERT_TRUE(in(program, {QStringLiteral("addr"), QStringLiteral("add"),
                                 QStringLiteral("10.77.1.1/24"), QStringLiteral("dev"), vp}));
        // A host address (mask 255.255.255.255) that must not be broadcast on.
        ASSERT_TRUE(in(program, {QStringLiteral("addr"), QStringLiteral("add"),
                                 QStringLiteral("10.78.1.1/32"), QStringLiteral("dev"), vp}));
        for (int host = 2; host <= 5; ++host)
            ASSERT_TRUE(
                in(scales, {QStringLiteral("addr"), QStringLiteral("add"),
                            QStringLiteral("10.77.1.%1/24").arg(host), QStringLiteral("dev"), vs}));
        for (const QString& ns : {program, scales})
            for (const QString& dev : {QStringLiteral("lo"), ns == program ? vp : vs})
                ASSERT_TRUE(in(ns, {QStringLiteral("link"), QStringLiteral("set"), dev,
                                    QStringLiteral("up")}));
    }
    void TearDown() override {
        sims.clear();
        for (const QString& ns : made)
            ip({QStringLiteral("netns"), QStringLiteral("del"), ns});
    }
    void startScale(int host, const QStringList& args) {
        auto s = std::make_unique<SimProcess>();
        ASSERT_TRUE(s->start(
            QStringList{QStringLiteral("--address"), QStringLiteral("10.77.1.%1").arg(host)} + args,
            {QStringLiteral("ip"), QStringLiteral("netns"), QStringLiteral("exec"), scales}))
            << "scale-sim did not start in " << scales.toStdString();
        sims.push_back(std::move(s));
    }

    QString scales, program;
    QStringList made;
    std::vector<std::unique_ptr<SimProcess>> sims;
};

TEST_F(NamespaceDiscovery, FindsTheScalesInTheOrderOfTheirAnswers) {
    // .2 answers late, so it comes second; .4 and .5 answer with 33 and 35 bytes.
    startScale(2, {QStringLiteral("--mode"), QStringLiteral("49"),
                   QStringLiteral("--identify-delay"), QStringLiteral("300")});
    startScale(3, {QStringLiteral("--mode"), QStringLiteral("2")});
    startScale(4, {QStringLiteral("--identify-size"), QStringLiteral("33")});
    startScale(5, {QStringLiteral("--identify-size"), QStringLiteral("35")});

    QProcess dmctl;
    dmctl.start(QStringLiteral("ip"),
                {QStringLiteral("netns"), QStringLiteral("exec"), program, dmctlPath(),
                 QStringLiteral("--program-folder"), stagedProgramFolder(),
                 QStringLiteral("--language"), QStringLiteral("ENG"), QStringLiteral("discover"),
                 QStringLiteral("--seconds"), QStringLiteral("1"), QStringLiteral("--no-serial"),
                 QStringLiteral("--verbose")});
    ASSERT_TRUE(dmctl.waitForFinished(20000));
    const QString out = QString::fromUtf8(dmctl.readAllStandardOutput());
    const QString err = QString::fromUtf8(dmctl.readAllStandardError());
    EXPECT_EQ(dmctl.exitCode(), 0) << err.toStdString();
    EXPECT_EQ(out, QStringLiteral("10.77.1.3 2 QEL\n10.77.1.2 49 ZUN\n")) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("broadcast 10.77.1.255"))) << err.toStdString();
    EXPECT_FALSE(err.contains(QStringLiteral("10.78.1"))) << err.toStdString();
}

// The transfer commands on the scales one discovery pass finds: totals from every scale,
// goods to every scale, and a download that will not guess between two scales.
TEST_F(NamespaceDiscovery, TransferCommandsTakeTheScalesFound) {
    QTemporaryDir files[2];
    for (int k = 0; k < 2; ++k) {
        QByteArray totals;
        AppendTotalsRecord(totals, {10 + k, false, 1500, 3, 9000, 17,
                                    QDateTime(QDate(2024, 1, 2), QTime(9, 0), Qt::UTC)});
        QFile f(QDir(files[k].path()).filePath(QStringLiteral("Totals.dat")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(totals);
        f.close();
        startScale(2 + k, {QStringLiteral("--folder"), files[k].path()});
    }
    ScratchProgramFolder folder;
    const auto dmctl = [&](const QStringList& args, int* code) {
        QProcess p;
        p.start(QStringLiteral("ip"),
                QStringList{QStringLiteral("netns"), QStringLiteral("exec"), program,
                            folder.path(QStringLiteral("dmctl")), QStringLiteral("--language"),
                            QStringLiteral("ENG")} +
                    args);
        EXPECT_TRUE(p.waitForFinished(60000));
        *code = p.exitCode();
        return QString::fromUtf8(p.readAllStandardError());
    };
    int code = -1;
    QString err = dmctl({QStringLiteral("totals"), QStringLiteral("--found")}, &code);
    EXPECT_EQ(code, 0) << err.toStdString();
    err = dmctl({QStringLiteral("upload"), QStringLiteral("--found")}, &code);
    EXPECT_EQ(code, 0) << err.toStdString();
    for (const QTemporaryDir& d : files)
        EXPECT_TRUE(QFileInfo::exists(QDir(d.path()).filePath(QStringLiteral("RVT.dat"))));
    err = dmctl({QStringLiteral("download"), QStringLiteral("--found")}, &code);
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(err.contains(QStringLiteral("more than one scale found"))) << err.toStdString();

    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("f"));
        db.setDatabaseName(folder.path(QStringLiteral("Data/Base.sqlite")));
        ASSERT_TRUE(db.open());
        QSqlQuery q(QStringLiteral("SELECT IP, PLU FROM Totals ORDER BY PLU"), db);
        while (q.next())
            rows << q.value(0).toString() + u' ' + q.value(1).toString();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("f"));
    EXPECT_EQ(rows, (QStringList{QStringLiteral("10.77.1.2 10"), QStringLiteral("10.77.1.3 11")}));
}

} // namespace
