// Every keystroke in the goods search text filters the whole goods list again. With
// 100,000 goods that must stay well under the time between two keystrokes (about 100 ms
// for a fast typist): one filtering of the list per iteration, as the window runs it.
#include "app/errors.h"
#include "db/database.h"
#include "db/sqlitefile.h"
#include "editors/goodseditor.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <memory>

using namespace dm;

namespace {

constexpr int kGoods = 100000;

// A database file of kGoods goods with names like a shop's ("Milk 2.5% 1 l 00042").
class GoodsFile {
public:
    explicit GoodsFile(const QLocale& locale) {
        path = dir.filePath(QStringLiteral("Base.sqlite"));
        createTemplateDatabase(path);
        db.open(path);
        static const std::array<const char16_t*, 12> english = {
            u"Milk",   u"Millet",  u"Bread", u"Butter", u"Cheese", u"Apples",
            u"Coffee", u"Chicken", u"Rice",  u"Sugar",  u"Tea",    u"Yoghurt"};
        static const std::array<const char16_t*, 12> russian = {
            u"Молоко", u"Пшено",  u"Хлеб", u"Масло", u"Сыр", u"Яблоки",
            u"Кофе",   u"Курица", u"Рис",  u"Сахар", u"Чай", u"Йогурт"};
        const bool ru = locale.language() == QLocale::Russian;
        {
            Transaction t(db.connection());
            QSqlQuery q(db.connection());
            q.prepare(QStringLiteral("INSERT INTO Products (PLU, RVTName, Type, Price, Barcode) "
                                     "VALUES (?, ?, ?, ?, ?)"));
            for (int i = 1; i <= kGoods; ++i) {
                const char16_t* word = (ru ? russian : english)[size_t(i) % english.size()];
                q.addBindValue(i);
                q.addBindValue(QString::fromUtf16(word) +
                               QStringLiteral(" %1").arg(i, 5, 10, QChar(u'0')));
                q.addBindValue(i % 3 ? QStringLiteral("weight") : QStringLiteral("count"));
                q.addBindValue(
                    QStringLiteral("%1.%2").arg(i % 500).arg(i % 100, 2, 10, QChar(u'0')));
                q.addBindValue(i % 4 ? QString() : QString::number(4600000000000LL + i));
                if (!q.exec())
                    throw DataError(QStringLiteral("insert failed"));
            }
            t.commit();
        }
        db.products().refresh();
    }
    QTemporaryDir dir;
    QString path;
    Database db;
};

GoodsFile& englishGoods() {
    static GoodsFile f(QLocale::c());
    return f;
}
GoodsFile& russianGoods() {
    static GoodsFile f{QLocale(QLocale::Russian, QLocale::Russia)};
    return f;
}

// One keystroke: the text typed so far, then the list filtered by it.
void typeAndFilter(benchmark::State& state, GoodsFile& file, GoodsColumn column,
                   const QStringList& keystrokes, const QLocale& locale) {
    ProductsDataSet& goods = file.db.products();
    qsizetype k = 0;
    qint64 shown = 0;
    for (auto _ : state) {
        const QString& text = keystrokes[k++ % keystrokes.size()];
        goods.setFilter(GoodsSearch(int(column), text, locale).filter());
        shown += goods.recordCount();
    }
    goods.clearFilter();
    state.counters["rows"] = double(kGoods);
    state.counters["shown"] = double(shown) / double(state.iterations());
}

void BM_GoodsSearchKeystroke_Name(benchmark::State& state) {
    typeAndFilter(state, englishGoods(), GoodsColumn::Name,
                  {QStringLiteral("m"), QStringLiteral("mi"), QStringLiteral("mil"),
                   QStringLiteral("milk"), QStringLiteral("milk 0")},
                  QLocale::c());
}
BENCHMARK(BM_GoodsSearchKeystroke_Name)->Unit(benchmark::kMillisecond);

void BM_GoodsSearchKeystroke_NameCyrillic(benchmark::State& state) {
    typeAndFilter(state, russianGoods(), GoodsColumn::Name,
                  {QStringLiteral("м"), QStringLiteral("мо"), QStringLiteral("мол")},
                  QLocale(QLocale::Russian, QLocale::Russia));
}
BENCHMARK(BM_GoodsSearchKeystroke_NameCyrillic)->Unit(benchmark::kMillisecond);

void BM_GoodsSearchKeystroke_PLU(benchmark::State& state) {
    typeAndFilter(
        state, englishGoods(), GoodsColumn::PLU,
        {QStringLiteral("1"), QStringLiteral("12"), QStringLiteral("123"), QStringLiteral("1234")},
        QLocale::c());
}
BENCHMARK(BM_GoodsSearchKeystroke_PLU)->Unit(benchmark::kMillisecond);

void BM_GoodsSearchKeystroke_Barcode(benchmark::State& state) {
    typeAndFilter(state, englishGoods(), GoodsColumn::Barcode,
                  {QStringLiteral("4"), QStringLiteral("46"), QStringLiteral("4600000001")},
                  QLocale::c());
}
BENCHMARK(BM_GoodsSearchKeystroke_Barcode)->Unit(benchmark::kMillisecond);

// The search text emptied: the whole list back.
void BM_GoodsSearchCleared(benchmark::State& state) {
    ProductsDataSet& goods = englishGoods().db.products();
    for (auto _ : state) {
        state.PauseTiming();
        goods.setFilter(GoodsSearch(int(GoodsColumn::Name), QStringLiteral("mil")).filter());
        state.ResumeTiming();
        goods.clearFilter();
    }
}
BENCHMARK(BM_GoodsSearchCleared)->Unit(benchmark::kMillisecond);

// The matching alone, one row at a time.
void BM_GoodsSearchMatchRow(benchmark::State& state) {
    const GoodsSearch search(int(GoodsColumn::Name), QStringLiteral("mil"), QLocale::c());
    const QVariantList record = {qlonglong(1),
                                 qlonglong(1),
                                 QStringLiteral("Millet 00001"),
                                 QStringLiteral("weight"),
                                 QStringLiteral("1.00"),
                                 QVariant()};
    for (auto _ : state)
        benchmark::DoNotOptimize(search.matches(record));
}
BENCHMARK(BM_GoodsSearchMatchRow);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    try {
        benchmark::RunSpecifiedBenchmarks();
    } catch (const UserError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    benchmark::Shutdown();
    return 0;
}
