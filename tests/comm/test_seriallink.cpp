#include "comm/comports.h"
#include "comm/discovery.h"
#include "comm/seriallink.h"
#include "commsupport.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <atomic>
#include <thread>

#include <QThread>

#include <gtest/gtest.h>

using namespace dm;
using namespace dm::test;

namespace {

// Each test has pseudo-terminals of its own, mapped to COMn through the Serial section
// of a scratch terminal.ini.
class SerialLinkTest : public testing::Test {
protected:
    void SetUp() override {
        if (!pair.isValid())
            GTEST_SKIP() << "socat could not make a pseudo-terminal pair";
    }
    QString ini() const { return dir.filePath(QStringLiteral("terminal.ini")); }

    QTemporaryDir dir;
    PtyPair pair;
};

TEST_F(SerialLinkTest, ProbeAndExchangeWithTheSimulator) {
    SimProcess sim;
    QTemporaryDir files;
    ASSERT_TRUE(sim.start({QStringLiteral("--no-network"), QStringLiteral("--serial"),
                           pair.second(), QStringLiteral("--mode"), QStringLiteral("1"),
                           QStringLiteral("--folder"), files.path()}));
    useSerialPorts(ini(), {{1, pair.first()}, {2, dir.filePath(QStringLiteral("no-such-tty"))}});

    EXPECT_EQ(probeComPorts(), QStringList{QStringLiteral("1")});

    auto link = makeScaleLink(QStringLiteral("COM1"));
    ASSERT_EQ(link->address().serialPort, 1);
    ASSERT_TRUE(link->open()) << link->errorString().toStdString();
    link->sendFrame(ScaleCommand::OpenExchange);
    EXPECT_EQ(link->read(), EncodeFrame(ScaleCommand::OpenExchange));

    const QByteArray data(1500, 'k');
    for (quint16 i = 1; i <= 2; ++i) {
        link->sendFrame(
            ScaleCommand::WriteBlock,
            blockPayload(quint8(FileKind::Keypad), 2, i,
                         QByteArrayView(data).sliced((i - 1) * 1024, i == 1 ? 1024 : 476)));
        EXPECT_EQ(replyCode(link->read()), 0x82);
    }
    link->sendFrame(ScaleCommand::ReadBlock, readRequestPayload(quint8(FileKind::Keypad), 2));
    const QByteArray reply = link->read();
    const auto block = parseBlockReply(reply);
    ASSERT_TRUE(block) << reply.size();
    EXPECT_EQ(block->total, 2);
    EXPECT_EQ(block->data.toByteArray(), data.mid(1024));
    link->close();

    // The discovery probe of the same port finds the scale and its mode.
    DiscoveryOptions options;
    options.interfaces = [] { return QList<InterfaceAddress>(); };
    options.comPorts = {QStringLiteral("1"), QStringLiteral("2")};
    const FoundScales found = runDiscoveryPass(options);
    EXPECT_EQ(found.addresses, QStringList{QStringLiteral("COM1")});
    EXPECT_EQ(found.modes, QStringList{QString(QChar(1))});
}

TEST_F(SerialLinkTest, UnansweredReadReturnsNothingAfterAboutFiveSeconds) {
    useSerialPorts(ini(), {{3, pair.first()}});
    SerialLink link(3);
    ASSERT_TRUE(link.open()) << link.errorString().toStdString();
    EXPECT_TRUE(link.write(identifyRequest()));
    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(link.read().isEmpty());
    EXPECT_GE(timer.elapsed(), 4900);
    EXPECT_LT(timer.elapsed(), 8000);
}

TEST_F(SerialLinkTest, OnePortAtATimeInTheWholeProcess) {
    PtyPair other;
    ASSERT_TRUE(other.isValid());
    useSerialPorts(ini(), {{4, pair.first()}, {5, other.first()}});

    // In one thread, opening a second port closes the first.
    SerialLink first(4), second(5);
    ASSERT_TRUE(first.open());
    ASSERT_TRUE(second.open());
    EXPECT_FALSE(first.isOpen());
    EXPECT_TRUE(second.isOpen());
    second.close();

    // Another thread's port is waited for (a transfer), or refused (a discovery probe).
    std::atomic<int> opened{0}; // 1 open, 2 failed
    std::atomic<bool> released{false};
    std::unique_ptr<QThread> holder(QThread::create([&] {
        SerialLink link(4);
        opened = link.open() ? 1 : 2;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        released = true;
        link.close();
    }));
    holder->start();
    while (opened == 0)
        std::this_thread::yield();
    if (opened != 1) {
        holder->wait();
        FAIL() << "the holding thread could not open its port";
    }
    EXPECT_FALSE(second.tryOpen());
    EXPECT_TRUE(second.open());
    EXPECT_TRUE(released);
    holder->wait();
}

} // namespace
