#include "comm/download.h"
#include "scalefiles/goodsfile.h"
#include "scalefiles/keypadfile.h"
#include "scalefiles/scalefileio.h"
#include "scalefiles/ticketfile.h"
#include "scalefiles/totalsfile.h"

#include "transfertest.h"

#include <QTcpServer>
#include <QTcpSocket>

#include <atomic>
#include <future>
#include <mutex>
#include <thread>

using namespace dm;
using namespace dm::test;

namespace {

// Scales of this file live on 127.0.0.60 to 127.0.0.69 and 127.0.0.160 to 127.0.0.169.
QString at(int n) {
    return QStringLiteral("127.0.0.%1").arg(n);
}

// A scale on a real socket that answers each ReadBlock with the bytes a test gives, for
// replies the simulator does not make. It serves one connection in a thread of its own.
class ScriptedScale {
public:
    using Answer = std::function<QByteArray(quint8 kind, quint16 block)>;
    ScriptedScale(const QString& address, Answer answer) : m_answer(std::move(answer)) {
        std::promise<bool> listening;
        auto ready = listening.get_future();
        m_thread =
            std::thread([this, address, p = std::move(listening)]() mutable { serve(address, p); });
        m_ok = ready.get();
    }
    ~ScriptedScale() {
        m_stop = true;
        m_thread.join();
    }
    bool isListening() const { return m_ok; }
    // "kind/block" of every request, in order.
    QStringList requested() const {
        std::lock_guard lock(m_mutex);
        return m_requested;
    }

private:
    void serve(const QString& address, std::promise<bool>& listening) {
        QTcpServer server;
        const bool ok = server.listen(QHostAddress(address), 5001);
        listening.set_value(ok);
        if (!ok)
            return;
        while (!m_stop && !server.waitForNewConnection(50)) {
        }
        std::unique_ptr<QTcpSocket> s(server.nextPendingConnection());
        QByteArray in;
        while (!m_stop && s && s->state() == QAbstractSocket::ConnectedState) {
            if (s->waitForReadyRead(50))
                in += s->readAll();
            for (auto size = announcedFrameSize(in); size && in.size() >= *size;
                 size = announcedFrameSize(in)) {
                const auto frame = decodeFrame(QByteArrayView(in).first(*size));
                in.remove(0, *size);
                if (!frame)
                    continue;
                QByteArray reply = EncodeFrame(frame->command);
                if (frame->command == quint8(ScaleCommand::ReadBlock)) {
                    const auto r = parseReadRequest(frame->payload);
                    std::lock_guard lock(m_mutex);
                    m_requested << QStringLiteral("%1/%2").arg(r->kind).arg(r->number);
                    reply = m_answer(r->kind, r->number);
                }
                s->write(reply);
                s->waitForBytesWritten(1000);
            }
        }
    }

    Answer m_answer;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    bool m_ok = false;
    mutable std::mutex m_mutex;
    QStringList m_requested;
};

QByteArray blockReply(quint8 kind, quint16 total, quint16 number, QByteArrayView data) {
    return EncodeFrame(ScaleCommand::ReadBlock, blockPayload(kind, total, number, data));
}

QByteArray absent() {
    return EncodeFrame(quint8(ReplyCode::FileAbsent));
}

class DownloadTest : public TransferTest {
protected:
    // The four files of a scale, made from goods, ticket lines and a keypad of its own.
    void stockScale(const Sim& sim, bool goods, bool keypad) {
        const ScaleCodePage& page = activeScaleCodePage();
        if (goods) {
            QByteArray file;
            for (int i = 1; i <= goodsCount; ++i)
                AppendGoodsRecord(file,
                                  {500 + i, false, 100 * i,
                                   QStringLiteral("Scale goods %1").arg(i, 8, 10, QLatin1Char('0')),
                                   QString(), true},
                                  page);
            writeFile(QDir(sim.folder).filePath(QStringLiteral("Products.dat")), file);
        }
        QStringList lines;
        for (int i = 1; i <= 8; ++i)
            lines << QStringLiteral("Line %1 from the scale").arg(i);
        writeFile(QDir(sim.folder).filePath(QStringLiteral("RVT.dat")),
                  EncodeTicketFile(lines, page));
        QTemporaryDir made;
        writeFile(QDir(sim.folder).filePath(QStringLiteral("Salesmen.dat")),
                  readFile(ScaleFiles(db, made.path()).WriteOperatorsFile()));
        if (keypad) {
            std::array<int32_t, kKeypadKeyCount> plus{};
            plus[0] = 501;
            plus[32] = 502;
            writeFile(QDir(sim.folder).filePath(QStringLiteral("keyboard.dat")),
                      EncodeKeypadFile(plus));
        }
    }
    QString ticketLine(int id) {
        return db.ticket().lookup(QStringLiteral("ID"), id, QStringLiteral("Data")).toString();
    }
    int goodsCount = 3;
};

TEST_F(DownloadTest, ThreeBlocksOfGoodsAreAskedForAndImported) {
    goodsCount = 40; // about 2.8 KB: three blocks
    addGoods(1, QStringLiteral("Kept until the download"), QStringLiteral("1.00"));
    addScaleRow(QStringLiteral("Kitchen"), at(60), QStringLiteral("Keypad 1"));
    Sim& sim = startSim(at(60), QStringLiteral("kitchen"));
    stockScale(sim, true, true);

    const TransferOutcome outcome = RunDownload(setup(), at(60));

    EXPECT_TRUE(outcome.allCompleted()) << outcome.error.toStdString();
    QStringList goodsRequests;
    for (const QString& f : sim.frames(QStringLiteral("ReadBlock kind 1 "), 3))
        goodsRequests << f.section(QStringLiteral(" block "), 1);
    EXPECT_EQ(goodsRequests,
              (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    const QByteArray served = sim.file(QStringLiteral("Products.dat"));
    ASSERT_GT(served.size(), 2048);
    ASSERT_LE(served.size(), 3072);
    EXPECT_EQ(readFile(QDir(exportDir()).filePath(QStringLiteral("products.dat"))), served);

    // The goods are the scale's now, and so are the ticket lines and keypad 1.
    ASSERT_EQ(db.products().recordCount(), goodsCount);
    EXPECT_EQ(db.products().value(0, ProductsDataSet::PLU).toInt(), 501);
    EXPECT_EQ(ticketLine(8), QStringLiteral("Line 8 from the scale"));
    EXPECT_EQ(db.keys().lookup(QStringLiteral("ID"), 133, QStringLiteral("PLU")).toInt(), 502);

    EXPECT_EQ(sink.notices(),
              (QStringList{QStringLiteral("blue: Connecting..."),
                           QStringLiteral("blue: Downloading data (Kitchen, IP:127.0.0.60)"),
                           QStringLiteral("green: Downloading completed (Kitchen(127.0.0.60)")}));
    QStringList pauses;
    for (const QString& e : sink.events)
        if (e.startsWith(QStringLiteral("pause")))
            pauses << e;
    EXPECT_EQ(pauses, QStringList(3, QStringLiteral("pause 1000")));
}

TEST_F(DownloadTest, AFileTheScaleLacks) {
    struct Case {
        int address;
        bool goods, keypad;
        QStringList notices;
    };
    const QString connecting = QStringLiteral("blue: Connecting...");
    const Case cases[] = {
        {61,
         false,
         true,
         {connecting, QStringLiteral("blue: Downloading data (Till, IP:127.0.0.61)"),
          QStringLiteral("pink: Base file is absent"),
          QStringLiteral("green: Downloading completed (Till(127.0.0.61)")}},
        // Without the keypad file there is no completion, though three files came.
        {62,
         true,
         false,
         {connecting, QStringLiteral("blue: Downloading data (Till, IP:127.0.0.62)")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        exec(QStringLiteral("DELETE FROM Products"));
        db.products().refresh();
        addGoods(9, QStringLiteral("Ours"), QStringLiteral("2.00"));
        addScaleRow(QStringLiteral("Till"), at(c.address), QString());
        Sim& sim = startSim(at(c.address), QString::number(c.address));
        stockScale(sim, c.goods, c.keypad);
        const QStringList goodsBefore = rows(QStringLiteral("Products"));
        sink.events.clear();

        const TransferOutcome outcome = RunDownload(setup(), at(c.address));

        EXPECT_FALSE(outcome.failed);
        EXPECT_EQ(sink.notices(), c.notices);
        if (!c.goods) {
            EXPECT_EQ(rows(QStringLiteral("Products")), goodsBefore);
            const qsizetype absent =
                sink.events.indexOf(QStringLiteral("pink: Base file is absent"));
            EXPECT_EQ(sink.events.value(absent + 1), QStringLiteral("pause 2000"));
        } else {
            EXPECT_EQ(db.products().recordCount(), goodsCount);
        }
        EXPECT_EQ(ticketLine(1), QStringLiteral("Line 1 from the scale"));
        // The run went on to the next kinds: all four were asked for.
        EXPECT_EQ(sim.frames(QStringLiteral("ReadBlock"), 4).size(), 4);
    }
}

TEST_F(DownloadTest, AGoodsFileThatCannotBeReadLeavesTheGoods) {
    addGoods(1, QStringLiteral("Apples"), QStringLiteral("1.20"));
    addGoods(2, QStringLiteral("Pears"), QStringLiteral("1.40"));
    Sim& sim = startSim(at(63), QStringLiteral("broken"));
    stockScale(sim, true, true);
    const QString path = QDir(sim.folder).filePath(QStringLiteral("Products.dat"));
    writeFile(path, readFile(path).chopped(3)); // ends inside its last record
    const QStringList before = rows(QStringLiteral("Products"));

    const TransferOutcome outcome = RunDownload(setup(), at(63));

    EXPECT_TRUE(outcome.failed);
    EXPECT_EQ(rows(QStringLiteral("Products")), before);
    EXPECT_EQ(db.products().recordCount(), 2);
    ASSERT_FALSE(sink.notices().isEmpty());
    EXPECT_TRUE(sink.notices().last().startsWith(QStringLiteral("pink: Downloading error / ")))
        << sink.notices().last().toStdString();
}

TEST_F(DownloadTest, RepliesOfTheScaleEndTheFileOrTheRun) {
    std::array<int32_t, kKeypadKeyCount> plus{};
    plus[4] = 77;
    const QByteArray keypad = EncodeKeypadFile(plus);
    const quint8 keys = quint8(FileKind::Keypad);
    const QStringList firstOfEach{QStringLiteral("1/1"), QStringLiteral("10/1"),
                                  QStringLiteral("11/1"), QStringLiteral("6/1")};
    struct Case {
        int address;
        ScriptedScale::Answer answer;
        QStringList requested;
        bool runFailed;    // an error ended the run
        QString turnError; // the reason under "Downloading error" when only the turn ended
        bool completed;
    };
    const Case cases[] = {
        // A first reply with total 1 ends the file after one block, whatever its count.
        {64,
         [&](quint8 kind, quint16 n) {
             return kind == keys ? blockReply(kind, 1, n, keypad.left(200)) : absent();
         },
         firstOfEach,
         true, // 200 bytes are no keypad file
         QString(), false},
        // Fewer than six bytes after block 1 of 3: the file came in part and is refused.
        {65,
         [&](quint8 kind, quint16 n) {
             if (kind != keys)
                 return absent();
             return n == 1 ? blockReply(kind, 3, n, keypad) : QByteArray("\xF8\x55", 2);
         },
         firstOfEach + QStringList{QStringLiteral("6/2")}, false,
         QStringLiteral("The scales sent only part of the file: keyboard.dat (1/3)"), false},
        // Ten bytes that are not FileAbsent: too short for a block, the end of the run.
        {66,
         [&](quint8 kind, quint16 n) { return blockReply(kind, 2, n, keypad).left(10); },
         {QStringLiteral("1/1")},
         true,
         QString(),
         false},
        // A total of 0 is a file without blocks: one request each, nothing imported.
        {160, [&](quint8 kind, quint16 n) { return blockReply(kind, 0, n, keypad); }, firstOfEach,
         false, QString(), false},
        // The latest total counts: 3 in block 1, then 1 in block 2 ends the file there.
        {161,
         [&](quint8 kind, quint16 n) {
             if (kind != keys)
                 return absent();
             const qsizetype half = keypad.size() / 2;
             return n == 1 ? blockReply(kind, 3, n, keypad.left(half))
                           : blockReply(kind, 1, n, keypad.mid(half));
         },
         firstOfEach + QStringList{QStringLiteral("6/2")}, false, QString(), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        sink.events.clear();
        exec(QStringLiteral("UPDATE Keys SET PLU = 0 WHERE ID = 105"));
        db.keys().refresh();
        ScriptedScale scale(at(c.address), c.answer);
        ASSERT_TRUE(scale.isListening());

        const TransferOutcome outcome = RunDownload(setup(), at(c.address));

        EXPECT_EQ(outcome.failed, c.runFailed) << outcome.error.toStdString();
        EXPECT_EQ(scale.requested(), c.requested);
        EXPECT_EQ(outcome.allCompleted(), c.completed);
        ASSERT_EQ(outcome.scales.size(), 1);
        EXPECT_EQ(outcome.scales[0].error, c.turnError);
        if (c.runFailed || !c.turnError.isEmpty()) {
            const QString line = QStringLiteral("pink: Downloading error / ");
            EXPECT_TRUE(sink.notices().last().startsWith(line));
            if (!c.turnError.isEmpty()) {
                EXPECT_EQ(sink.notices().last(), line + c.turnError);
            }
        }
        // The keypad is imported only from a whole file.
        EXPECT_EQ(db.keys().lookup(QStringLiteral("ID"), 105, QStringLiteral("PLU")).toInt(),
                  c.completed ? 77 : 0);
    }
}

TEST_F(DownloadTest, AFileThatEndsBeforeItsLastBlockIsRefused) {
    struct Case {
        int address;
        FileKind kind;
        const char* fault;
        const char* reason; // after "Downloading error / "
    };
    // The goods file has three blocks, the totals file two; frame 1 is OpenExchange.
    const Case cases[] = {
        {162, FileKind::Goods, "silent",
         "The scales sent only part of the file: products.dat (2/3)"},
        {163, FileKind::Goods, "drop", "The connection to the scales was lost: products.dat"},
        {164, FileKind::Totals, "silent",
         "The scales sent only part of the file: Totals.dat (1/2)"},
    };
    goodsCount = 40;
    addGoods(1, QStringLiteral("Ours"), QStringLiteral("1.00"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        sink.events.clear();
        const bool goods = c.kind == FileKind::Goods;
        const QString local =
            QDir(exportDir())
                .filePath(goods ? QStringLiteral("products.dat") : QStringLiteral("Totals.dat"));
        writeFile(local, "what an earlier download left");
        const QStringList before =
            rows(goods ? QStringLiteral("Products") : QStringLiteral("Totals"));
        const int lastBlock = goods ? 3 : 2;
        Sim& sim = startSim(at(c.address), QString::number(c.address),
                            {QStringLiteral("--fault"), QString::fromLatin1(c.fault),
                             QStringLiteral("--fault-at"), QString::number(1 + lastBlock)});
        if (goods) {
            stockScale(sim, true, true);
            ASSERT_GT(sim.file(QStringLiteral("Products.dat")).size(), 2048);
        } else {
            QByteArray totals;
            for (int plu = 1; plu <= 40; ++plu) // 1120 bytes
                AppendTotalsRecord(totals, {plu, true, 3, 2, 30, 20,
                                            QDateTime(QDate(2024, 5, 6), QTime(14, 0), Qt::UTC)});
            writeFile(QDir(sim.folder).filePath(QStringLiteral("Totals.dat")), totals);
        }

        const TransferOutcome outcome =
            goods ? RunDownload(setup(), at(c.address)) : RunTotals(setup(), {at(c.address)});

        EXPECT_FALSE(outcome.failed) << outcome.error.toStdString();
        ASSERT_EQ(outcome.scales.size(), 1);
        EXPECT_FALSE(outcome.scales[0].completed);
        EXPECT_EQ(sink.notices().last(),
                  QStringLiteral("pink: Downloading error / ") + QString::fromLatin1(c.reason));
        EXPECT_EQ(rows(goods ? QStringLiteral("Products") : QStringLiteral("Totals")), before);
        EXPECT_EQ(readFile(local), "what an earlier download left");
        // The turn ended there: no further file was asked for.
        EXPECT_EQ(sim.frames(QStringLiteral("ReadBlock")).size(), lastBlock);
    }
}

TEST_F(DownloadTest, TotalsOfSeveralScalesEachUnderItsOwnAddress) {
    addScaleRow(QStringLiteral("Left"), at(67), QString());
    addScaleRow(QStringLiteral("Right"), at(68), QString());
    addScaleRow(QStringLiteral("Empty"), at(69), QString());
    for (int n : {67, 68}) {
        Sim& sim = startSim(at(n), QString::number(n));
        QByteArray totals;
        for (int plu : {n * 10, n * 10 + 1})
            AppendTotalsRecord(totals, {plu, true, 3, 2, 30, 20,
                                        QDateTime(QDate(2024, 5, 6), QTime(14, 0), Qt::UTC)});
        writeFile(QDir(sim.folder).filePath(QStringLiteral("Totals.dat")), totals);
    }
    startSim(at(69), QStringLiteral("69"));

    const TransferOutcome outcome = RunTotals(setup(), {at(67), at(68), at(69)});

    QStringList got;
    for (const QString& r : rows(QStringLiteral("Totals")))
        got << r.section(u'|', 1, 3); // Scales|IP|PLU
    EXPECT_EQ(got, (QStringList{QStringLiteral("Left|127.0.0.67|670"),
                                QStringLiteral("Left|127.0.0.67|671"),
                                QStringLiteral("Right|127.0.0.68|680"),
                                QStringLiteral("Right|127.0.0.68|681")}));
    QStringList ends;
    for (const QString& n : sink.notices())
        if (!n.startsWith(QStringLiteral("blue")))
            ends << n;
    EXPECT_EQ(ends, (QStringList{QStringLiteral("green: Downloading completed (Left(127.0.0.67)"),
                                 QStringLiteral("green: Downloading completed (Right(127.0.0.68)"),
                                 QStringLiteral("pink: Totals is absent")}));
    ASSERT_EQ(outcome.scales.size(), 3);
    EXPECT_FALSE(outcome.scales[2].completed);
}

TEST_F(DownloadTest, DownloadFromTheSimulatorOnAPort) {
    PtyPair pair;
    if (!pair.isValid())
        GTEST_SKIP() << "socat could not make a pseudo-terminal pair";
    QTemporaryDir iniDir;
    useSerialPorts(iniDir.filePath(QStringLiteral("terminal.ini")), {{2, pair.first()}});
    addScaleRow(QStringLiteral("Counter"), QStringLiteral("COM2"), QString());
    Sim& sim =
        startSim(QStringLiteral("COM2"), QStringLiteral("serial"),
                 {QStringLiteral("--no-network"), QStringLiteral("--serial"), pair.second()});
    stockScale(sim, true, true);

    const TransferOutcome outcome = RunDownload(setup(), QStringLiteral("COM2"));

    EXPECT_TRUE(outcome.allCompleted()) << outcome.error.toStdString();
    EXPECT_EQ(db.products().recordCount(), goodsCount);
    EXPECT_EQ(sink.notices().last(), QStringLiteral("green: Downloading completed (Counter(COM2)"));
}

} // namespace
