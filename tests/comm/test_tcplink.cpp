#include "app/errors.h"
#include "comm/scalelink.h"
#include "commsupport.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

using namespace dm;
using namespace dm::test;

// Every test of this file has a loopback address of its own (127.0.0.20 to 127.0.0.39),
// so that ctest can run them side by side.
namespace {

QString simAddress(int n) {
    return QStringLiteral("127.0.0.%1").arg(n);
}

struct AddressCase {
    const char* text;
    bool serial;
    int port;
};

TEST(ScaleAddressRule, FirstCharacterDecides) {
    const AddressCase cases[] = {
        {"COM7", true, 7},  {"10.0.0.5", false, 0}, {"CXX3", true, 3},          {"COM1", true, 1},
        {"com3", false, 0}, {"CO 5", true, 5},      {"192.168.0.17", false, 0},
    };
    for (const auto& c : cases) {
        const ScaleAddress a = ScaleAddress::parse(QString::fromLatin1(c.text));
        EXPECT_EQ(a.isSerial(), c.serial) << c.text;
        EXPECT_EQ(a.serialPort, c.port) << c.text;
    }
    for (const char* bad : {"C", "COM", "COM0", "COMA", "Cashier"})
        EXPECT_THROW(ScaleAddress::parse(QString::fromLatin1(bad)), LinkError) << bad;
    EXPECT_THROW(makeScaleLink(QStringLiteral("COMX")), LinkError);
}

class TcpLinkTest : public testing::Test {
protected:
    bool startSim(int n, const QStringList& extra = {}) {
        address = simAddress(n);
        return sim.start(QStringList{QStringLiteral("--address"), address,
                                     QStringLiteral("--folder"), folder.path()} +
                         extra);
    }
    std::unique_ptr<ScaleLink> openLink(LinkTimings t = {}) {
        auto link = makeScaleLink(address, t);
        EXPECT_TRUE(link->open()) << link->errorString().toStdString();
        return link;
    }
    QByteArray fileOnScale(const char* name) {
        QFile f(folder.filePath(QString::fromLatin1(name)));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir folder;
    SimProcess sim;
    QString address;
};

QByteArray sampleBytes(qsizetype n, int seed) {
    QByteArray b(n, '\0');
    for (qsizetype i = 0; i < n; ++i)
        b[i] = char((i * 31 + seed) & 0xFF);
    return b;
}

// Sends a file in blocks of 1024 bytes, returning the reply codes.
QList<quint8> sendFile(ScaleLink& link, quint8 kind, const QByteArray& data) {
    QList<quint8> codes;
    const quint16 total = quint16((data.size() + 1023) / 1024);
    for (quint16 i = 1; i <= total; ++i) {
        link.sendFrame(
            ScaleCommand::WriteBlock,
            blockPayload(kind, total, i,
                         QByteArrayView(data)
                             .sliced((i - 1) * 1024)
                             .first(qMin<qsizetype>(1024, data.size() - (i - 1) * 1024))));
        codes.append(replyCode(link.read()).value_or(0));
    }
    return codes;
}

TEST_F(TcpLinkTest, UploadAndDownloadThroughTheSimulator) {
    ASSERT_TRUE(startSim(21));
    auto link = openLink();
    ASSERT_EQ(link->address().kind, ScaleAddress::Kind::Tcp);
    link->sendFrame(ScaleCommand::OpenExchange);
    EXPECT_EQ(link->read(), EncodeFrame(ScaleCommand::OpenExchange));

    const QByteArray goods = sampleBytes(2049, 7);
    EXPECT_EQ(sendFile(*link, quint8(FileKind::Goods), goods), (QList<quint8>{0x82, 0x82, 0x82}));
    EXPECT_EQ(fileOnScale("products.dat"), goods);

    // Reading it back block by block: each reply is one whole frame.
    QByteArray back;
    for (quint16 i = 1; i <= 3; ++i) {
        link->sendFrame(ScaleCommand::ReadBlock, readRequestPayload(quint8(FileKind::Goods), i));
        const QByteArray reply = link->read();
        const auto block = parseBlockReply(reply);
        ASSERT_TRUE(block);
        EXPECT_EQ(block->total, 3);
        EXPECT_EQ(reply.size(), 13 + block->count + 2);
        back += block->data.toByteArray();
    }
    EXPECT_EQ(back, goods);

    // Block 1 of a new upload replaces the file.
    const QByteArray shorter = sampleBytes(10, 3);
    sendFile(*link, quint8(FileKind::Goods), shorter);
    EXPECT_EQ(fileOnScale("products.dat"), shorter);

    link->sendFrame(ScaleCommand::ReadBlock, readRequestPayload(quint8(FileKind::Totals), 1));
    EXPECT_TRUE(isReplyCode(link->read(), ReplyCode::FileAbsent));
    link->close();
    EXPECT_FALSE(link->isOpen());
}

TEST_F(TcpLinkTest, StopAtGoodsBlock) {
    ASSERT_TRUE(startSim(22, {QStringLiteral("--stop-at-block"), QStringLiteral("2")}));
    auto link = openLink();
    const QList<quint8> codes = sendFile(*link, quint8(FileKind::Goods), sampleBytes(3000, 1));
    EXPECT_EQ(codes, (QList<quint8>{0x82, 0x43, 0x43}));
    // Other kinds are not stopped.
    EXPECT_EQ(sendFile(*link, quint8(FileKind::Ticket), sampleBytes(1500, 2)),
              (QList<quint8>{0x82, 0x82}));
}

struct FaultCase {
    const char* name;
    int address;
    QStringList simArgs;
    int firstByteMs;
    qsizetype replySize; // what one read returns
    bool crcOk;
    bool stillOpen;
};

class TcpFaults : public TcpLinkTest, public testing::WithParamInterface<FaultCase> {};

TEST_P(TcpFaults, OneReadGivesWhatCame) {
    const FaultCase& c = GetParam();
    ASSERT_TRUE(startSim(c.address, c.simArgs));
    LinkTimings t;
    t.firstByteMs = c.firstByteMs;
    auto link = openLink(t);
    link->sendFrame(ScaleCommand::ReadBlock, readRequestPayload(quint8(FileKind::Totals), 1));
    const QByteArray reply = link->read();
    EXPECT_EQ(reply.size(), c.replySize) << reply.toHex(' ').constData();
    if (reply.size() >= 8) {
        const auto f = decodeFrame(reply);
        EXPECT_EQ(f && f->crcOk, c.crcOk);
        EXPECT_TRUE(isReplyCode(reply, ReplyCode::FileAbsent));
    }
    if (!c.stillOpen) {
        // Nothing more comes from a dropped connection; the read does not wait.
        QElapsedTimer timer;
        timer.start();
        EXPECT_TRUE(link->read().isEmpty());
        EXPECT_LT(timer.elapsed(), 1000);
    }
}

const QString Fault = QStringLiteral("--fault");
INSTANTIATE_TEST_SUITE_P(
    Simulator, TcpFaults,
    testing::Values(FaultCase{"Short", 23, {Fault, QStringLiteral("short")}, 5000, 5, false, true},
                    FaultCase{"Split",
                              24,
                              {Fault, QStringLiteral("split"), QStringLiteral("--split-ms"),
                               QStringLiteral("60")},
                              5000,
                              8,
                              true,
                              true},
                    // A length field one too large: the frame never completes, the gap ends it.
                    FaultCase{
                        "Length", 25, {Fault, QStringLiteral("length")}, 5000, 8, false, true},
                    FaultCase{"Crc", 26, {Fault, QStringLiteral("crc")}, 5000, 8, false, true},
                    FaultCase{"Late",
                              27,
                              {Fault, QStringLiteral("late"), QStringLiteral("--late-ms"),
                               QStringLiteral("400")},
                              5000,
                              8,
                              true,
                              true},
                    FaultCase{"Drop", 28, {Fault, QStringLiteral("drop")}, 5000, 0, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TcpLinkTest, SilentScaleGivesAnEmptyReadAfterTheBoundedWait) {
    ASSERT_TRUE(startSim(29, {Fault, QStringLiteral("silent")}));
    auto link = openLink();
    link->sendFrame(ScaleCommand::OpenExchange);
    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(link->read().isEmpty());
    EXPECT_GE(timer.elapsed(), 4900);
    EXPECT_LT(timer.elapsed(), 8000);
    EXPECT_TRUE(link->isOpen());
}

TEST_F(TcpLinkTest, LateAnswerIsNotTakenForTheNextOne) {
    ASSERT_TRUE(
        startSim(30, {Fault, QStringLiteral("late"), QStringLiteral("--fault-at"),
                      QStringLiteral("1"), QStringLiteral("--late-ms"), QStringLiteral("300")}));
    LinkTimings t;
    t.firstByteMs = 100;
    auto link = openLink(t);
    link->sendFrame(ScaleCommand::OpenExchange);
    EXPECT_TRUE(link->read().isEmpty());
    QThread::msleep(500); // the late answer is in by now
    link->sendFrame(ScaleCommand::ReadBlock, readRequestPayload(quint8(FileKind::Totals), 1));
    EXPECT_TRUE(isReplyCode(link->read(1000), ReplyCode::FileAbsent));
}

TEST_F(TcpLinkTest, ConnectWhereNothingListensFails) {
    address = simAddress(31);
    auto link = makeScaleLink(address);
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(link->open());
    EXPECT_LT(timer.elapsed(), 3500);
    EXPECT_FALSE(link->errorString().isEmpty());
    EXPECT_FALSE(link->isOpen());
    EXPECT_FALSE(link->sendFrame(ScaleCommand::OpenExchange));
    EXPECT_TRUE(link->read(10).isEmpty());
}

// A peer on a real socket that, once a link connects, sends its opening bytes and then a
// chunk every interval, whatever is asked: a device that never stops talking. It runs in
// a thread of its own.
class StreamingPeer {
public:
    StreamingPeer(const QString& address, QByteArray opening, QByteArray chunk, int intervalMs)
        : m_opening(std::move(opening)), m_chunk(std::move(chunk)), m_intervalMs(intervalMs) {
        std::promise<bool> listening;
        auto ready = listening.get_future();
        m_thread =
            std::thread([this, address, p = std::move(listening)]() mutable { serve(address, p); });
        m_ok = ready.get();
    }
    ~StreamingPeer() {
        m_stop = true;
        m_thread.join();
    }
    bool isListening() const { return m_ok; }

private:
    void serve(const QString& address, std::promise<bool>& listening) {
        QTcpServer server;
        const bool ok = server.listen(QHostAddress(address), ScaleLink::DefaultTcpPort);
        listening.set_value(ok);
        if (!ok)
            return;
        while (!m_stop && !server.waitForNewConnection(50)) {
        }
        std::unique_ptr<QTcpSocket> s(server.nextPendingConnection());
        if (!s)
            return;
        s->write(m_opening);
        while (!m_stop && s->state() == QAbstractSocket::ConnectedState) {
            const QDeadlineTimer next(m_intervalMs);
            // Only as much as the link takes in: the peer's own memory stays small.
            if (s->bytesToWrite() < 65536)
                s->write(m_chunk);
            s->waitForBytesWritten(m_intervalMs);
            s->waitForReadyRead(0); // whatever the link says is ignored
            s->readAll();
            QThread::msleep(static_cast<unsigned long>(qMax<qint64>(0, next.remainingTime())));
        }
        s->abort();
    }

    QByteArray m_opening, m_chunk;
    int m_intervalMs;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    bool m_ok = false;
};

TEST(TcpLinkBounds, AReplyThatNeverEndsIsCutByItsCapOrItsTime) {
    struct Case {
        const char* name;
        int address;
        QByteArray opening, chunk;
        int intervalMs;
        int restMs;
        qsizetype atMost, atLeast;
    };
    const QByteArray header("\xF8\x55\xCE", 3);
    const Case cases[] = {
        // No preamble: taken by the gap rule, but never more than a reply can hold.
        {"NoPreamble", 32, QByteArray(), QByteArray(100, 'x'), 20, 5000, ScaleLink::MaxReplyBytes,
         ScaleLink::MaxReplyBytes},
        // A frame that announces more than any frame can be: cut at the largest frame.
        {"HugeFrame", 33, header + QByteArray("\xFF\xFF", 2), QByteArray(4096, 'y'), 1, 5000,
         ScaleLink::MaxReplyFrame, ScaleLink::MaxReplyFrame},
        // A frame that trickles in, each byte within the gap: the time for the rest ends it.
        {"Trickle", 34, header + QByteArray("\x80\x3E", 2), QByteArray(10, 'z'), 20, 500, 1000, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString address = simAddress(c.address);
        StreamingPeer peer(address, c.opening, c.chunk, c.intervalMs);
        ASSERT_TRUE(peer.isListening());
        LinkTimings t;
        t.firstByteMs = 2000;
        t.restMs = c.restMs;
        auto link = makeScaleLink(address, t);
        ASSERT_TRUE(link->open()) << link->errorString().toStdString();

        QElapsedTimer timer;
        timer.start();
        const QByteArray reply = link->read();
        EXPECT_LE(reply.size(), c.atMost);
        EXPECT_GE(reply.size(), c.atLeast);
        // Bounds of the read, not its speed: first byte, the rest, one gap, and slack.
        EXPECT_LT(timer.elapsed(), t.firstByteMs + t.restMs + t.gapMs + 2000);

        // The next request still goes out: dropping the stale bytes has its own bound.
        timer.restart();
        EXPECT_TRUE(link->sendFrame(ScaleCommand::OpenExchange));
        EXPECT_LT(timer.elapsed(), t.gapMs + 2000);
    }
}

TEST(TcpLinkIdle, TheHookRunsWhileAReadOrAConnectWaits) {
    // A peer that takes the connection and never answers.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress(simAddress(35)), ScaleLink::DefaultTcpPort));
    LinkTimings t;
    t.firstByteMs = 500;
    auto link = makeScaleLink(simAddress(35), t);
    int calls = 0;
    bool nestedRefused = true;
    link->setIdle([&] {
        ++calls;
        // The hook may process anything; the link still serves one request at a time.
        nestedRefused = nestedRefused && link->read(1000).isEmpty() &&
                        !link->sendFrame(ScaleCommand::OpenExchange) && !link->open();
    });
    ASSERT_TRUE(link->open());
    ASSERT_TRUE(link->sendFrame(ScaleCommand::OpenExchange));
    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(link->read().isEmpty());
    EXPECT_LT(timer.elapsed(), 1500); // the nested reads did not wait
    EXPECT_GE(calls, 5);              // about one call per 50 ms of a 500 ms wait
    EXPECT_TRUE(nestedRefused);
    EXPECT_TRUE(link->isOpen());

    // A connect that hangs: the peer's queue of connections is full and it accepts none,
    // so the handshake gets no answer.
    QTcpServer full;
    full.setListenBacklogSize(0);
    ASSERT_TRUE(full.listen(QHostAddress(simAddress(36)), ScaleLink::DefaultTcpPort));
    full.pauseAccepting();
    QTcpSocket first;
    first.connectToHost(simAddress(36), ScaleLink::DefaultTcpPort);
    ASSERT_TRUE(first.waitForConnected(1000));
    t.connectMs = 500;
    auto waiting = makeScaleLink(simAddress(36), t);
    int connectCalls = 0;
    waiting->setIdle([&] { ++connectCalls; });
    EXPECT_FALSE(waiting->open());
    EXPECT_GE(connectCalls, 5);
}

} // namespace
