// The ticket preview is redrawn on every keystroke of the ticket page and every click
// in the goods list: drawing, the JPEG round trip, and both together.
#include "editors/ticketdraw.h"
#include "editors/ticketreduce.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

using namespace dm;

namespace {

struct Fixture {
    Fixture() { page.select(1049); }
    TicketEnvironment env() {
        return {
            fonts, page, TicketTexts::fromLanguage(), QLocale::c(), QDateTime::currentDateTime(),
            1600};
    }
    static TicketData data() {
        TicketData d;
        d.lines = {
            QStringLiteral("OUR SHOP"),          QStringLiteral("1 Market Street"),
            QStringLiteral("Tel. 000-00-00"),    QStringLiteral("Open 8:00-22:00"),
            QStringLiteral("Welcome!"),          QStringLiteral("Thank you for your purchase!"),
            QStringLiteral("Please come again"), QStringLiteral("Have a nice day")};
        d.operatorNames = {QStringLiteral("Operator 1"), QStringLiteral("Operator 2")};
        d.operatorName = QStringLiteral("Operator 1");
        d.goods = TicketGoods{12, QStringLiteral("Bread roll"), QStringLiteral("count"),
                              QStringLiteral("12.50"), QString()};
        return d;
    }
    TicketFonts fonts{QStringLiteral(DM_PROGRAM_DIR "/Languages/ENG")};
    ScaleCodePage page;
};

void BM_DrawTicketCanvas(benchmark::State& state) {
    Fixture f;
    const TicketData d = Fixture::data();
    for (auto _ : state)
        benchmark::DoNotOptimize(DrawTicketCanvas(d, f.env()));
}
BENCHMARK(BM_DrawTicketCanvas)->Unit(benchmark::kMicrosecond);

void BM_ReduceTicket(benchmark::State& state) {
    Fixture f;
    const QImage canvas = DrawTicketCanvas(Fixture::data(), f.env());
    for (auto _ : state)
        benchmark::DoNotOptimize(ReduceTicket(canvas));
}
BENCHMARK(BM_ReduceTicket)->Unit(benchmark::kMicrosecond);

// What DrawTicket costs the window: draw and reduce (the fonts cached, as in the window).
void BM_DrawTicket(benchmark::State& state) {
    Fixture f;
    const TicketData d = Fixture::data();
    for (auto _ : state)
        benchmark::DoNotOptimize(ReduceTicket(DrawTicketCanvas(d, f.env())));
}
BENCHMARK(BM_DrawTicket)->Unit(benchmark::kMicrosecond);

// The first drawing after a change of language reads the fonts from disk.
void BM_DrawTicketColdFonts(benchmark::State& state) {
    Fixture f;
    const TicketData d = Fixture::data();
    for (auto _ : state) {
        TicketFonts fonts(QStringLiteral(DM_PROGRAM_DIR "/Languages/ENG"));
        TicketEnvironment e{
            fonts, f.page, TicketTexts::fromLanguage(), QLocale::c(), QDateTime::currentDateTime(),
            1600};
        benchmark::DoNotOptimize(ReduceTicket(DrawTicketCanvas(d, e)));
    }
}
BENCHMARK(BM_DrawTicketColdFonts)->Unit(benchmark::kMicrosecond);

void BM_DrawSampleTicket(benchmark::State& state) {
    Fixture f;
    for (auto _ : state)
        benchmark::DoNotOptimize(ReduceTicket(DrawSampleTicketCanvas(f.env())));
}
BENCHMARK(BM_DrawSampleTicket)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    // The watermark paints text, which needs a QGuiApplication; no display is used.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
