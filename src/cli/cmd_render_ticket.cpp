// dmctl render-ticket: draws a ticket preview as the window does and writes it as PNG.
#include "cli/cli.h"

#include "app/errors.h"
#include "db/database.h"
#include "editors/ticketdraw.h"
#include "editors/ticketreduce.h"
#include "editors/ticketsource.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>

namespace dm::cli {

namespace {

int number(const QString& option, const QString& text, int low, int high) {
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < low || n > high)
        throw UsageError{option +
                         QStringLiteral(" needs a number from %1 to %2").arg(low).arg(high)};
    return n;
}

// The canvas is twice the screen's height tall, as in the window.
int canvasHeight() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? 2 * screen->geometry().height() : 1200;
}

int runRenderTicket(Context& ctx, Args& args) {
    const std::optional<QString> out = args.take(QStringLiteral("--out"));
    const bool sample = args.takeFlag(QStringLiteral("--sample"));
    const bool full = args.takeFlag(QStringLiteral("--full"));
    const std::optional<QString> plu = args.take(QStringLiteral("--plu"));
    const std::optional<QString> op = args.take(QStringLiteral("--operator"));
    args.expectEmpty();
    if (!out)
        throw UsageError{QStringLiteral("--out FILE.png is needed")};
    if (sample && (plu || op))
        throw UsageError{QStringLiteral("--plu and --operator do not apply to --sample")};
    const int pluNumber = plu ? number(QStringLiteral("--plu"), *plu, 1, 99999999) : 0;
    const int operatorNumber = op ? number(QStringLiteral("--operator"), *op, 1, 8) : 1;

    try {
        ctx.loadLanguage();
        TicketFonts fonts(ctx.folder.languagesDir() + u'/' + ctx.languageName());
        const TicketEnvironment env{
            fonts,     activeScaleCodePage(),        TicketTexts::fromLanguage(),
            QLocale(), QDateTime::currentDateTime(), canvasHeight()};
        QImage canvas;
        if (sample) {
            canvas = DrawSampleTicketCanvas(env);
        } else {
            Database db;
            db.open(ctx.databasePath());
            ProductsDataSet& products = db.products();
            if (plu) {
                if (!products.locate(QStringLiteral("PLU"), pluNumber)) {
                    ctx.err << "dmctl render-ticket: no goods with PLU " << pluNumber << "\n";
                    return ExitFailed;
                }
            } else if (!products.isEmpty()) {
                products.first();
            }
            // As after loading the ticket page: the operator's stored name is the one shown.
            const QString name =
                db.salesmen()
                    .lookup(QStringLiteral("ID"), operatorNumber, QStringLiteral("Name"))
                    .toString();
            canvas = DrawTicketCanvas(ReadTicketData(db, name), env);
        }
        const QImage image = full ? canvas : ReduceTicket(canvas);
        if (!image.save(*out, "PNG")) {
            ctx.err << "dmctl render-ticket: cannot write " << QDir::toNativeSeparators(*out)
                    << "\n";
            return ExitFailed;
        }
    } catch (const UserError& e) {
        ctx.err << "dmctl render-ticket: " << e.text() << "\n";
        return ExitFailed;
    }
    ctx.out << QDir::toNativeSeparators(*out) << "\n";
    return ExitOk;
}

const Registrar registrar{
    {QStringLiteral("render-ticket"),
     QStringLiteral("render-ticket --out FILE.png [--sample] [--full] [--plu N] [--operator K]"),
     runRenderTicket}};

} // namespace

} // namespace dm::cli
