#include "comm/upload.h"
#include "scalefiles/keypadfile.h"
#include "scalefiles/scalefileio.h"

#include "transfertest.h"

#include <QSerialPort>
#include <QThread>

using namespace dm;
using namespace dm::test;

namespace {

// Scales of this file live on 127.0.0.50 to 127.0.0.59 and 127.0.0.150 to
// 127.0.0.159; nothing listens on .59.
const QString kDead = QStringLiteral("127.0.0.59");

QString at(int n) {
    return QStringLiteral("127.0.0.%1").arg(n);
}

QByteArray pattern(qsizetype size) {
    QByteArray data(size, '\0');
    for (qsizetype i = 0; i < size; ++i)
        data[i] = char((i * 7 + i / 251) & 0xFF);
    return data;
}

class UploadTest : public TransferTest {
protected:
    std::unique_ptr<ScaleLink> connect(const QString& address) {
        auto link = makeScaleLink(address, setup().timings);
        EXPECT_TRUE(link->open()) << link->errorString().toStdString();
        return link;
    }
    QString exported(const char* name) const {
        return QDir(exportDir()).filePath(QString::fromLatin1(name));
    }
    // The notices and pauses of a run, in order, without the progress bar.
    QStringList noticesAndPauses() const {
        QStringList out;
        for (const QString& e : sink.events)
            if (!e.startsWith(QStringLiteral("progress")))
                out << e;
        return out;
    }
};

TEST_F(UploadTest, FilesGoInBlocksOfAtMost1024Bytes) {
    Sim& sim = startSim(at(50), QStringLiteral("blocks"));
    struct Case {
        qsizetype size;
        QStringList blocks; // block/total count
    };
    const Case cases[] = {
        {0, {}},
        {1, {QStringLiteral("1/1 count 1")}},
        {2048, {QStringLiteral("1/2 count 1024"), QStringLiteral("2/2 count 1024")}},
        {2049,
         {QStringLiteral("1/3 count 1024"), QStringLiteral("2/3 count 1024"),
          QStringLiteral("3/3 count 1")}},
    };
    auto link = connect(at(50));
    int seen = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        const QByteArray data = pattern(c.size);
        writeFile(exported("products.dat"), data);
        sink.events.clear();
        EXPECT_EQ(SendFileBlocks(*link, exported("products.dat"), FileKind::Goods, sink),
                  UploadResult::Completed);
        QStringList blocks;
        for (const QString& f :
             sim.frames(QStringLiteral("WriteBlock"), seen + int(c.blocks.size())).mid(seen))
            blocks << f.section(QStringLiteral(" block "), 1);
        seen += int(blocks.size());
        EXPECT_EQ(blocks, c.blocks);
        if (c.size > 0) {
            EXPECT_EQ(sim.file(QStringLiteral("products.dat")), data);
        }
        // One progress step per block, the bar hidden at the end.
        QStringList progress{QStringLiteral("progress shown")};
        for (int i = 1; i <= c.blocks.size(); ++i)
            progress << QStringLiteral("progress %1/%2").arg(i).arg(c.blocks.size());
        progress << QStringLiteral("progress hidden");
        EXPECT_EQ(sink.events, progress);
    }
}

TEST_F(UploadTest, GoodsRepliesDecideTheResult) {
    struct Case {
        int address;
        QStringList simArgs;
        UploadResult result;
        int blocksSent;
    };
    const Case cases[] = {
        {51, {}, UploadResult::Completed, 3},
        {52, {QStringLiteral("--stop-at-block"), QStringLiteral("2")}, UploadResult::Stopped, 2},
        // Five bytes of the reply to block 2 over TCP: no usable reply.
        {53,
         {QStringLiteral("--fault"), QStringLiteral("short"), QStringLiteral("--fault-at"),
          QStringLiteral("2")},
         UploadResult::NoReply,
         2},
    };
    writeFile(exported("products.dat"), pattern(2049));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        Sim& sim = startSim(at(c.address), QString::number(c.address), c.simArgs);
        auto link = connect(at(c.address));
        EXPECT_EQ(SendFileBlocks(*link, exported("products.dat"), FileKind::Goods, sink), c.result);
        EXPECT_EQ(sim.frames(QStringLiteral("WriteBlock"), c.blocksSent).size(), c.blocksSent);
    }
}

TEST_F(UploadTest, EachScaleGetsItsOwnKeypadAndARefusedOneIsPassedOver) {
    addGoods(1, QStringLiteral("Apples"), QStringLiteral("1.20"));
    addGoods(2, QStringLiteral("Bread"), QStringLiteral("0.95"), true);
    addKeypad(QStringLiteral("Second"), 200);
    addScaleRow(QStringLiteral("Kitchen"), at(54), QStringLiteral("Second"));
    addScaleRow(QStringLiteral("Dead"), kDead, QString());
    // A keypad name that no keypad has any more: the first keypad.
    addScaleRow(QStringLiteral("Bakery"), at(55), QStringLiteral("Gone"));
    Sim& kitchen = startSim(at(54), QStringLiteral("kitchen"));
    Sim& bakery = startSim(at(55), QStringLiteral("bakery"));
    db.keypads().setCurrentRow(1);

    const TransferOutcome outcome = RunUpload(setup(), {at(54), kDead, at(55)});

    EXPECT_FALSE(outcome.failed) << outcome.error.toStdString();
    EXPECT_EQ(db.keypads().currentRow(), 1);
    const QStringList expected{
        QStringLiteral("blue: Goods file making..."),
        QStringLiteral("pause 1000"),
        QStringLiteral("blue: Ticket file making..."),
        QStringLiteral("pause 1000"),
        QStringLiteral("blue: Salesmen file making..."),
        QStringLiteral("pause 1000"),
        QStringLiteral("blue: Connecting..."),
        QStringLiteral("pause 1000"),
        QStringLiteral("blue: Uploading data (Kitchen <127.0.0.54>)"),
        QStringLiteral("pause 1000"),
        QStringLiteral("pause 1000"),
        QStringLiteral("green: Uploading completed (Kitchen <127.0.0.54>)"),
        QStringLiteral("pause 2000"),
        QStringLiteral("blue: Connecting..."),
        QStringLiteral("pause 1000"),
        QStringLiteral("pink: Connection failed to scales Dead(127.0.0.59)"),
        QStringLiteral("pause 1000"),
        QStringLiteral("blue: Connecting..."),
        QStringLiteral("pause 1000"),
        QStringLiteral("blue: Uploading data (Bakery <127.0.0.55>)"),
        QStringLiteral("pause 1000"),
        QStringLiteral("pause 1000"),
        QStringLiteral("green: Uploading completed (Bakery <127.0.0.55>)"),
        QStringLiteral("pause 2000"),
    };
    EXPECT_EQ(noticesAndPauses(), expected);
    ASSERT_EQ(outcome.scales.size(), 3);
    EXPECT_TRUE(outcome.scales[0].completed && outcome.scales[2].completed);
    EXPECT_FALSE(outcome.scales[1].connected);

    // What arrived is what the database makes, byte for byte.
    QTemporaryDir fresh;
    ScaleFiles files(db, fresh.path());
    const QByteArray goods = readFile(files.WriteGoodsFile());
    const QByteArray ticket = readFile(files.WriteTicketFile());
    const QByteArray operators = readFile(files.WriteOperatorsFile());
    ASSERT_FALSE(goods.isEmpty());
    std::array<int32_t, kKeypadKeyCount> second{};
    for (int k = 0; k < kKeypadKeyCount; ++k)
        second[size_t(k)] = 200 + k;
    const std::array<int32_t, kKeypadKeyCount> first{};
    for (Sim* s : {&kitchen, &bakery}) {
        SCOPED_TRACE(s->address.toStdString());
        EXPECT_EQ(s->file(QStringLiteral("products.dat")), goods);
        EXPECT_EQ(s->file(QStringLiteral("RVT.dat")), ticket);
        EXPECT_EQ(s->file(QStringLiteral("Salesmen.dat")), operators);
    }
    EXPECT_EQ(kitchen.file(QStringLiteral("keyboard.dat")), EncodeKeypadFile(second));
    EXPECT_EQ(bakery.file(QStringLiteral("keyboard.dat")), EncodeKeypadFile(first));
}

TEST_F(UploadTest, StopInTheGoodsFileStillSendsTheOtherFiles) {
    addGoodsBeyond(2100);
    Sim& sim = startSim(at(56), QStringLiteral("stop"),
                        {QStringLiteral("--stop-at-block"), QStringLiteral("2")});

    const TransferOutcome outcome = RunUpload(setup(), {at(56)});

    EXPECT_FALSE(outcome.failed);
    ASSERT_EQ(outcome.scales.size(), 1);
    EXPECT_FALSE(outcome.scales[0].completed);
    for (const QString& n : sink.notices())
        EXPECT_FALSE(n.contains(QStringLiteral("completed"))) << n.toStdString();
    const QStringList frames = sim.frames(QStringLiteral("WriteBlock"), 5);
    QStringList goodsBlocks;
    for (const QString& f : frames)
        if (f.contains(QStringLiteral("kind 1 ")))
            goodsBlocks << f.section(QStringLiteral(" block "), 1).section(u' ', 0, 0);
    EXPECT_EQ(goodsBlocks, (QStringList{QStringLiteral("1/3"), QStringLiteral("2/3")}));
    for (const char* name : {"RVT.dat", "Salesmen.dat", "keyboard.dat"})
        EXPECT_EQ(sim.file(QString::fromLatin1(name)), readFile(exported(name))) << name;
}

TEST_F(UploadTest, AnErrorDuringTheRunEndsItWithUploadingError) {
    Sim& sim = startSim(at(57), QStringLiteral("error"));
    addScaleRow(QStringLiteral("Till"), at(57), QString());
    // No keypad at all: the keypad file cannot be made for the scale.
    exec(QStringLiteral("DELETE FROM KeyPads"));
    db.keypads().refresh();

    const TransferOutcome outcome = RunUpload(setup(), {at(57), at(57)});

    EXPECT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.scales.size(), 1); // the second turn never began
    ASSERT_FALSE(sink.notices().isEmpty());
    EXPECT_EQ(sink.notices().last(),
              QStringLiteral("pink: Uploading error / There is no keypad in the database"));
    EXPECT_EQ(sink.events.last(), QStringLiteral("pause 1000"));
    // What went out before the error is at the scale.
    EXPECT_EQ(sim.file(QStringLiteral("Salesmen.dat")), readFile(exported("Salesmen.dat")));
}

TEST_F(UploadTest, ALostConnectionEndsThatScalesTurnWithAnError) {
    addGoods(1, QStringLiteral("Apples"), QStringLiteral("1.20")); // one goods block
    addScaleRow(QStringLiteral("Next"), at(150), QString());
    Sim& next = startSim(at(150), QStringLiteral("next"));
    struct Case {
        int address;
        int dropAt; // frame 1 is OpenExchange, 2 the goods block, 3 the first ticket block
        const char* lostIn;
    };
    const Case cases[] = {{151, 2, "products.dat"}, {152, 3, "RVT.dat"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        sink.events.clear();
        addScaleRow(QStringLiteral("Dropping"), at(c.address), QString());
        Sim& dropping = startSim(at(c.address), QString::number(c.address),
                                 {QStringLiteral("--fault"), QStringLiteral("drop"),
                                  QStringLiteral("--fault-at"), QString::number(c.dropAt)});

        const TransferOutcome outcome = RunUpload(setup(), {at(c.address), at(150)});

        // The dropped scale gets its error line; the next one is still served.
        EXPECT_FALSE(outcome.failed);
        EXPECT_FALSE(outcome.allCompleted());
        ASSERT_EQ(outcome.scales.size(), 2);
        EXPECT_FALSE(outcome.scales[0].completed);
        const QString reason = QStringLiteral("The connection to the scales was lost: ") +
                               QString::fromLatin1(c.lostIn);
        EXPECT_EQ(outcome.scales[0].error, reason);
        EXPECT_TRUE(outcome.scales[1].completed);
        const QStringList notices = sink.notices();
        const qsizetype error =
            notices.indexOf(QStringLiteral("pink: Uploading error / ") + reason);
        ASSERT_GE(error, 0) << notices.join(u'\n').toStdString();
        EXPECT_EQ(notices.value(error + 1), QStringLiteral("blue: Connecting..."));
        EXPECT_EQ(notices.last(),
                  QStringLiteral("green: Uploading completed (Next <127.0.0.150>)"));
        // Nothing went out after the drop.
        EXPECT_EQ(dropping.frames(QStringLiteral("<- "), c.dropAt).size(), c.dropAt);
    }
    EXPECT_EQ(next.file(QStringLiteral("keyboard.dat")), readFile(exported("keyboard.dat")));
}

// Over a serial line the scale that says nothing gets each frame four times, unchanged.
class SerialUploadTest : public UploadTest {
protected:
    void SetUp() override {
        UploadTest::SetUp();
        if (!pair.isValid())
            GTEST_SKIP() << "socat could not make a pseudo-terminal pair";
        useSerialPorts(iniDir.filePath(QStringLiteral("terminal.ini")), {{1, pair.first()}});
    }
    QTemporaryDir iniDir;
    PtyPair pair;
};

TEST_F(SerialUploadTest, AnUnansweredBlockIsSentFourTimesByteForByte) {
    struct Case {
        FileKind kind;
        qsizetype size;
        UploadResult result;
        int blocksSent; // the goods file stops at its first unanswered block
    };
    const Case cases[] = {
        {FileKind::Goods, 1500, UploadResult::NoReply, 1},
        {FileKind::Operators, 1500, UploadResult::Completed, 2},
    };
    QSerialPort scale(pair.second());
    ASSERT_TRUE(scale.open(QIODevice::ReadWrite));
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.kind));
        const QByteArray data = pattern(c.size);
        writeFile(exported("file.dat"), data);
        auto link = connect(QStringLiteral("COM1"));
        EXPECT_EQ(SendFileBlocks(*link, exported("file.dat"), c.kind, sink), c.result);
        link->close();

        QByteArray expected;
        for (int block = 1; block <= c.blocksSent; ++block) {
            const qsizetype offset = (block - 1) * 1024;
            const QByteArray frame =
                EncodeFrame(ScaleCommand::WriteBlock,
                            blockPayload(quint8(c.kind), 2, quint16(block),
                                         QByteArrayView(data).sliced(
                                             offset, qMin<qsizetype>(1024, c.size - offset))));
            expected += frame.repeated(4);
        }
        QByteArray arrived;
        while (scale.waitForReadyRead(300))
            arrived += scale.readAll();
        arrived += scale.readAll();
        EXPECT_EQ(arrived.size(), expected.size());
        EXPECT_TRUE(arrived == expected);
    }
}

TEST_F(SerialUploadTest, UploadToTheSimulatorOnAPort) {
    addGoods(7, QStringLiteral("Cheese"), QStringLiteral("8.40"));
    addScaleRow(QStringLiteral("Counter"), QStringLiteral("COM1"), QString());
    Sim& sim =
        startSim(QStringLiteral("COM1"), QStringLiteral("serial"),
                 {QStringLiteral("--no-network"), QStringLiteral("--serial"), pair.second()});

    const TransferOutcome outcome = RunUpload(setup(), {QStringLiteral("COM1")});

    EXPECT_TRUE(outcome.allCompleted()) << outcome.error.toStdString();
    EXPECT_TRUE(
        sink.notices().contains(QStringLiteral("green: Uploading completed (Counter <COM1>)")));
    for (const char* name : {"products.dat", "RVT.dat", "Salesmen.dat", "keyboard.dat"})
        EXPECT_EQ(sim.file(QString::fromLatin1(name)), readFile(exported(name))) << name;
}

} // namespace
