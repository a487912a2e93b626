// The goods document and the totals workbook for large lists, built in memory.
#include "export/goodsdocx.h"
#include "export/totalsxlsx.h"

#include <QCoreApplication>
#include <QLocale>

#include <benchmark/benchmark.h>

namespace {

dm::GoodsExportTable goods(int n) {
    dm::GoodsExportTable t{{QStringLiteral("PLU"), QStringLiteral("Name"), QStringLiteral("Type"),
                            QStringLiteral("Price"), QStringLiteral("Barcode")},
                           {}};
    t.rows.reserve(size_t(n));
    for (int i = 0; i < n; ++i)
        t.rows.push_back({i + 1, QString::fromUtf8("Молоко & сливки %1").arg(i),
                          i % 2 ? QStringLiteral("count") : QStringLiteral("weight"),
                          QStringLiteral("%1.50").arg(i % 1000),
                          QStringLiteral("46%1").arg(i, 11, 10, QChar(u'0'))});
    return t;
}

dm::TotalsExportTable totals(int n) {
    dm::TotalsExportTable t{{}, {}};
    for (int c = 0; c < 10; ++c)
        t.titles << QStringLiteral("Column %1").arg(c);
    const QDateTime base(QDate(2016, 1, 1), QTime(8, 0));
    t.rows.reserve(size_t(n));
    for (int i = 0; i < n; ++i)
        t.rows.push_back({QStringLiteral("Scales %1").arg(i % 8), i + 1,
                          QString::fromUtf8("Хлеб %1").arg(i), QStringLiteral("weight"), i * 0.125,
                          i % 50, i * 1.5, i % 500, base.addSecs(i), base.addSecs(2 * i)});
    return t;
}

void BM_GoodsDocx(benchmark::State& state) {
    const dm::GoodsExportTable t = goods(int(state.range(0)));
    qsizetype bytes = 0;
    for (auto _ : state) {
        const QByteArray doc = dm::buildGoodsDocx(t);
        bytes = doc.size();
        benchmark::DoNotOptimize(doc.constData());
    }
    state.counters["docx_bytes"] = double(bytes);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_GoodsDocx)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_TotalsXlsx(benchmark::State& state) {
    const dm::TotalsExportTable t = totals(int(state.range(0)));
    qsizetype bytes = 0;
    for (auto _ : state) {
        const QByteArray book = dm::buildTotalsXlsx(t);
        bytes = book.size();
        benchmark::DoNotOptimize(book.constData());
    }
    state.counters["xlsx_bytes"] = double(bytes);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_TotalsXlsx)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QStringLiteral("ru_RU")));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
