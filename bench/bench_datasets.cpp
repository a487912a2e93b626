// The datasets on a goods table of 100,000 rows: open, sort, filter, writes, refresh.
#include "app/errors.h"
#include "db/database.h"
#include "db/sqlitefile.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

using namespace dm;

namespace {

constexpr int GoodsCount = 100000;

const QString PLU = QStringLiteral("PLU");
const QString Name = QStringLiteral("RVTName");

// One file of 100,000 goods for every benchmark, made once.
struct GoodsFile {
    QTemporaryDir dir;
    QString path;

    GoodsFile() {
        path = dir.filePath(QStringLiteral("Base.sqlite"));
        createTemplateDatabase(path);
        Database db;
        db.open(path);
        static const char* const syllables[] = {"mil", "ka",  "Bro", "to", "che", "Ese",
                                                "ap",  "ple", "sa",  "LA", "mi",  "ban"};
        QRandomGenerator rng(42);
        Transaction t(db.connection());
        QSqlQuery q(db.connection());
        q.prepare(QStringLiteral("INSERT INTO Products (PLU, RVTName, Type, Price, Barcode) "
                                 "VALUES (?, ?, ?, ?, ?)"));
        for (int i = 0; i < GoodsCount; ++i) {
            QString name;
            const int parts = 2 + int(rng.bounded(3));
            for (int s = 0; s < parts; ++s)
                name += QString::fromLatin1(syllables[rng.bounded(12)]);
            name += u' ' + QString::number(i % 977);
            q.addBindValue((i * 7919) % 99999989 + 1); // distinct, not in insertion order
            q.addBindValue(name);
            q.addBindValue(i % 3 ? QStringLiteral("weight") : QStringLiteral("count"));
            q.addBindValue(QStringLiteral("%1,%2").arg(rng.bounded(10000)).arg(rng.bounded(100)));
            q.addBindValue(i % 2 ? QVariant(QString::number(4600000000000LL + i)) : QVariant());
            q.exec();
        }
        t.commit();
    }
};

GoodsFile& goodsFile() {
    static GoodsFile f;
    return f;
}

void BM_Open100kGoods(benchmark::State& state) {
    const QString path = goodsFile().path;
    for (auto _ : state) {
        Database db;
        db.open(path);
        benchmark::DoNotOptimize(db.products().recordCount());
        state.PauseTiming();
        db.close();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Open100kGoods)->Unit(benchmark::kMillisecond);

void BM_Refresh100kGoods(benchmark::State& state) {
    Database db;
    db.open(goodsFile().path);
    db.products().setSortField(Name);
    db.products().setCurrentRow(GoodsCount / 2);
    for (auto _ : state)
        db.products().refresh();
}
BENCHMARK(BM_Refresh100kGoods)->Unit(benchmark::kMillisecond);

// Sort by each field of the goods (ID, PLU, RVTName, Type, Price, Barcode).
void BM_Sort100kGoods(benchmark::State& state) {
    Database db;
    db.open(goodsFile().path);
    ProductsDataSet& p = db.products();
    const QString field = p.fields()[int(state.range(0))];
    state.SetLabel(field.toStdString());
    for (auto _ : state) {
        p.setSortField(field, Qt::AscendingOrder);
        state.PauseTiming();
        p.setSortField(QString());
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Sort100kGoods)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

// The goods search: a case-insensitive prefix of the name, as the search bar filters.
void BM_PrefixFilter100kGoods(benchmark::State& state) {
    Database db;
    db.open(goodsFile().path);
    ProductsDataSet& p = db.products();
    p.setSortField(Name);
    const QString text = QStringLiteral("MIL");
    for (auto _ : state) {
        p.setFilter([&text](const QVariantList& r) {
            return r[ProductsDataSet::RVTName].toString().left(text.size()).toUpper() == text;
        });
        benchmark::DoNotOptimize(p.recordCount());
        state.PauseTiming();
        p.clearFilter();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PrefixFilter100kGoods)->Unit(benchmark::kMillisecond);

// An import: 1,000 goods appended through the dataset in one transaction.
void BM_Append1000InTransaction(benchmark::State& state) {
    Database db;
    db.open(goodsFile().path);
    ProductsDataSet& p = db.products();
    if (state.range(0))
        p.setSortField(Name);
    for (auto _ : state) {
        {
            Transaction t(db.connection());
            for (int i = 0; i < 1000; ++i)
                p.append({{PLU, 99990000 + i},
                          {Name, QStringLiteral("imported %1").arg(i)},
                          {QStringLiteral("Price"), QStringLiteral("1,00")}});
            t.commit();
        }
        state.PauseTiming();
        // Leave the file as it was for the next round.
        QSqlQuery(db.connection())
            .exec(QStringLiteral("DELETE FROM Products WHERE PLU >= 99990000"));
        p.refresh();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * 1000);
    state.SetLabel(state.range(0) ? "sorted by name" : "natural order");
}
BENCHMARK(BM_Append1000InTransaction)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// One edit of a name in the grid while the goods are sorted by name: the row moves.
void BM_PostUnderSort100kGoods(benchmark::State& state) {
    Database db;
    db.open(goodsFile().path);
    ProductsDataSet& p = db.products();
    p.setSortField(Name);
    int i = 0;
    for (auto _ : state) {
        p.post(GoodsCount / 2, {{Name, i++ % 2 ? QStringLiteral("aaa") : QStringLiteral("zzz")}});
    }
}
BENCHMARK(BM_PostUnderSort100kGoods)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    try {
        goodsFile();
        benchmark::RunSpecifiedBenchmarks();
    } catch (const UserError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    benchmark::Shutdown();
    return 0;
}
