// The goods file of 100,000 goods uploaded to the simulator on loopback without pauses,
// beside the same number of bare request-reply round trips on the same connection: the
// difference is what the block layer and the file cost on top of the wire.
#include "comm/scalelink.h"
#include "comm/upload.h"
#include "scalefiles/goodsfile.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <csignal>
#include <memory>

using namespace dm;

namespace {

constexpr int kGoods = 100000;
const QString kAddress = QStringLiteral("127.0.0.90");

class QuietSink final : public TransferSink {
public:
    void showMessage(const QStringList&, QRgb) override {}
    void showTroubleshooting(const QStringList&) override {}
    void hideMessage() override {}
    void showProgress() override {}
    void setProgressTotal(int) override {}
    void setProgressDone(int) override {}
    void hideProgress() override {}
};

// One simulator and one open connection for the whole run.
struct Rig {
    QTemporaryDir dir;
    QString goodsFile;
    qsizetype blocks = 0;
    QProcess sim;
    std::unique_ptr<ScaleLink> link;
    QString error;

    Rig() {
        QByteArray data;
        data.reserve(qsizetype(kGoods) * 80);
        const ScaleCodePage& page = activeScaleCodePage();
        for (int i = 1; i <= kGoods; ++i)
            AppendGoodsRecord(
                data,
                {i, i % 3 == 0, 100 + i % 9999, QStringLiteral("Goods item %1").arg(i),
                 i % 2 ? QStringLiteral("4600000%1").arg(i, 6, 10, QChar(u'0')) : QString(), true},
                page);
        goodsFile = dir.filePath(QStringLiteral("products.dat"));
        QFile f(goodsFile);
        if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size()) {
            error = QStringLiteral("cannot write ") + goodsFile;
            return;
        }
        f.close();
        blocks = (data.size() + 1023) / 1024;

        const QString folder = dir.filePath(QStringLiteral("scale"));
        QDir().mkpath(folder);
        sim.start(QStringLiteral(DM_PROGRAM_DIR) + QStringLiteral("/scale-sim"),
                  {QStringLiteral("--address"), kAddress, QStringLiteral("--folder"), folder});
        QByteArray out;
        QDeadlineTimer deadline(5000);
        while (!out.contains("ready") && !deadline.hasExpired() && sim.waitForReadyRead(100))
            out += sim.readAllStandardOutput();
        if (!out.contains("ready")) {
            error = QStringLiteral("scale-sim did not start");
            return;
        }
        link = makeScaleLink(kAddress);
        if (!link->open())
            error = link->errorString();
    }
    ~Rig() {
        link.reset();
        if (sim.state() != QProcess::NotRunning) {
            ::kill(pid_t(sim.processId()), SIGTERM);
            sim.waitForFinished(3000);
        }
    }
};

Rig& rig() {
    static Rig r;
    return r;
}

void BM_UploadGoodsFile(benchmark::State& state) {
    Rig& r = rig();
    if (!r.error.isEmpty()) {
        state.SkipWithError(r.error.toStdString().c_str());
        return;
    }
    QuietSink sink;
    for (auto _ : state) {
        const UploadResult result = SendFileBlocks(*r.link, r.goodsFile, FileKind::Goods, sink);
        if (result != UploadResult::Completed) {
            state.SkipWithError("the upload did not complete");
            return;
        }
    }
    state.counters["blocks"] = double(r.blocks);
    state.SetBytesProcessed(int64_t(state.iterations()) * QFileInfo(r.goodsFile).size());
}

// As many OpenExchange frames and their replies as the file has blocks.
void BM_BareRoundTrips(benchmark::State& state) {
    Rig& r = rig();
    if (!r.error.isEmpty()) {
        state.SkipWithError(r.error.toStdString().c_str());
        return;
    }
    for (auto _ : state) {
        for (qsizetype i = 0; i < r.blocks; ++i) {
            r.link->sendFrame(ScaleCommand::OpenExchange);
            if (r.link->read().size() < 6) {
                state.SkipWithError("no reply");
                return;
            }
        }
    }
    state.counters["round_trips"] = double(r.blocks);
}

BENCHMARK(BM_UploadGoodsFile)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_BareRoundTrips)->Unit(benchmark::kMillisecond)->MinTime(3.0);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
