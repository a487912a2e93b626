// The goods file of 100,000 goods written and read back with every goods check, beside
// a plain insert of the same rows in one transaction; 100,000 totals records imported.
#include "app/notifier.h"
#include "db/database.h"
#include "scalefiles/goodsfile.h"
#include "scalefiles/scalefileio.h"
#include "scalefiles/scalefilenames.h"
#include "scalefiles/totalsfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace dm;

namespace {

constexpr int kGoods = 100000;

struct Row {
    int plu;
    QString name;
    QString type;
    QString price;
    QString barcode;
};

const std::vector<Row>& rows() {
    static const std::vector<Row> all = [] {
        std::vector<Row> r;
        r.reserve(kGoods);
        for (int i = 0; i < kGoods; ++i)
            r.push_back({i + 1, QStringLiteral("Goods item %1").arg(i + 1),
                         i % 3 ? QStringLiteral("weight") : QStringLiteral("count"),
                         QStringLiteral("%1.%2").arg(i % 9999).arg(i % 100, 2, 10, QChar(u'0')),
                         QString::number(2000000000000LL + i)});
        return r;
    }();
    return all;
}

// A fresh copy of the template database in its own folder.
struct Scratch {
    Scratch() {
        path = dir.filePath(QStringLiteral("Base.sqlite"));
        QFile::copy(QStringLiteral(DM_PROGRAM_DIR "/System/Default.sqlite"), path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }
    QString exportDir() const { return dir.filePath(QStringLiteral("Export")); }
    QTemporaryDir dir;
    QString path;
};

void insertAll(const QSqlDatabase& db) {
    Transaction t(db);
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO Products (PLU, RVTName, \"Type\", Price, Barcode) "
                             "VALUES (?, ?, ?, ?, ?)"));
    for (const Row& r : rows()) {
        q.addBindValue(r.plu);
        q.addBindValue(r.name);
        q.addBindValue(r.type);
        q.addBindValue(r.price);
        q.addBindValue(r.barcode);
        if (!q.exec())
            abort();
    }
    t.commit();
}

void BM_PlainSqliteInsert(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Scratch s;
        Database db;
        db.open(s.path);
        state.ResumeTiming();
        insertAll(db.connection());
    }
    state.SetItemsProcessed(state.iterations() * kGoods);
}

void BM_WriteGoodsFile(benchmark::State& state) {
    Scratch s;
    {
        Database db;
        db.open(s.path);
        insertAll(db.connection());
    }
    Database db;
    db.open(s.path);
    ScaleFiles files(db, s.exportDir());
    for (auto _ : state)
        benchmark::DoNotOptimize(files.WriteGoodsFile());
    state.SetItemsProcessed(state.iterations() * kGoods);
}

void BM_ReadGoodsFile(benchmark::State& state) {
    // The file of the goods above, read into a database that already holds them all:
    // every row is deleted, checked (two indexed counts) and inserted again.
    Scratch s;
    Database db;
    db.open(s.path);
    insertAll(db.connection());
    db.products().refresh();
    ScaleFiles files(db, s.exportDir());
    files.WriteGoodsFile();
    CollectingNotifier notifier;
    for (auto _ : state) {
        const GoodsImportResult r = files.ReadGoodsFile(notifier, GoodsReplace::AllGoods);
        if (r.stored != kGoods)
            abort();
    }
    state.SetItemsProcessed(state.iterations() * kGoods);
}

void BM_ImportTotalsFile(benchmark::State& state) {
    Scratch s;
    Database db;
    db.open(s.path);
    insertAll(db.connection());
    db.products().refresh();
    QByteArray file;
    for (int i = 0; i < kGoods; ++i)
        AppendTotalsRecord(file, {i + 1, i % 3 == 0, 1500 + i, 3, 45000 + i, 90,
                                  QDateTime(QDate(2015, 6, 30), QTime(13, 0), Qt::UTC)});
    const QString path = s.dir.filePath(QStringLiteral("Totals.dat"));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(file);
    f.close();
    ScaleFiles files(db, s.dir.path());
    for (auto _ : state) {
        // Each pass appends to an empty table, so the re-read after the import (part of
        // the cost) stays at 100,000 rows.
        state.PauseTiming();
        QSqlQuery(db.connection()).exec(QStringLiteral("DELETE FROM Totals"));
        db.totals().refresh();
        state.ResumeTiming();
        if (files.ImportTotalsFile(MemoryCardSource(), path) != kGoods)
            abort();
    }
    state.SetItemsProcessed(state.iterations() * kGoods);
}

// The share of the totals import that is the totals dataset re-reading its rows.
void BM_TotalsDataSetRefresh(benchmark::State& state) {
    Scratch s;
    Database db;
    db.open(s.path);
    QByteArray file;
    for (int i = 0; i < kGoods; ++i)
        AppendTotalsRecord(file, {i + 1, false, 1500, 3, 45000, 90,
                                  QDateTime(QDate(2015, 6, 30), QTime(13, 0), Qt::UTC)});
    const QString path = s.dir.filePath(QStringLiteral("Totals.dat"));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(file);
    f.close();
    ScaleFiles(db, s.dir.path()).ImportTotalsFile(MemoryCardSource(), path);
    for (auto _ : state)
        db.totals().refresh();
    state.SetItemsProcessed(state.iterations() * kGoods);
}

} // namespace

BENCHMARK(BM_PlainSqliteInsert)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_WriteGoodsFile)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadGoodsFile)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ImportTotalsFile)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TotalsDataSetRefresh)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale::c());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
