// dmctl upload, download and totals: the window's transfer runs to the scales named on
// the command line (or found by one discovery pass), with their messages printed.
#include "cli/cli.h"
#include "cli/printing.h"

#include "app/errors.h"
#include "comm/comports.h"
#include "comm/discovery.h"
#include "comm/download.h"
#include "comm/upload.h"
#include "db/database.h"
#include "platform/serialports.h"

#include <QDir>

namespace dm::cli {

namespace {

struct Targets {
    QStringList addresses;
    bool found = false; // from a discovery pass
};

Targets takeTargets(Args& args) {
    Targets t;
    t.addresses = args.takeAll(QStringLiteral("--scale"));
    t.found = args.takeFlag(QStringLiteral("--found"));
    if (t.found == !t.addresses.isEmpty())
        throw UsageError{QStringLiteral("give --scale ADDRESS (one or more) or --found")};
    for (const QString& a : t.addresses)
        if (a.trimmed().isEmpty())
            throw UsageError{QStringLiteral("--scale needs an address")};
    return t;
}

QStringList discoverScales() {
    DiscoveryOptions options;
    options.comPorts = probeComPorts();
    return runDiscoveryPass(options).addresses;
}

enum class Run { Upload, Download, Totals };

int runTransfer(Context& ctx, Args& args, Run run) {
    Targets targets = takeTargets(args);
    const bool pauses = args.takeFlag(QStringLiteral("--pauses"));
    args.expectEmpty();
    if (run == Run::Download && targets.addresses.size() > 1)
        throw UsageError{QStringLiteral("download takes one scale")};

    const QString name = run == Run::Upload     ? QStringLiteral("upload")
                         : run == Run::Download ? QStringLiteral("download")
                                                : QStringLiteral("totals");
    ctx.loadLanguage();
    setActiveSerialPortMap(SerialPortMap::load(ctx.folder.terminalIni()));
    PrintingSink sink(ctx.out, ctx.err);
    if (targets.found) {
        targets.addresses = discoverScales();
        if (targets.addresses.isEmpty()) {
            sink.showTroubleshooting(TroubleshootingLines(
                run == Run::Upload ? TroubleshootingFor::Upload : TroubleshootingFor::Download));
            return ExitFailed;
        }
        if (run == Run::Download && targets.addresses.size() > 1) {
            ctx.err << "dmctl download: more than one scale found ("
                    << targets.addresses.join(QStringLiteral(", ")) << "); name one with --scale"
                    << Qt::endl;
            return ExitFailed;
        }
    }

    NoPauses none;
    SleepingPauses sleeping;
    ErrorStreamNotifier notifier(ctx.err);
    try {
        Database db;
        db.open(ctx.databasePath());
        TransferSetup setup(db, ctx.folder.exportFolder(), sink,
                            pauses ? static_cast<TransferPauses&>(sleeping) : none, notifier);
        QDir().mkpath(setup.exportFolder);
        db.keypads().first();
        TransferOutcome outcome;
        switch (run) {
        case Run::Upload:
            outcome = RunUpload(setup, targets.addresses);
            break;
        case Run::Download:
            outcome = RunDownload(setup, targets.addresses.first());
            break;
        case Run::Totals:
            outcome = RunTotals(setup, targets.addresses);
            break;
        }
        // Each scale whose turn ended with an error names it on standard error too.
        for (const ScaleOutcome& scale : outcome.scales)
            if (!scale.error.isEmpty())
                ctx.err << "dmctl " << name << ": " << scale.address << ": " << scale.error
                        << Qt::endl;
        if (outcome.failed)
            ctx.err << "dmctl " << name << ": " << outcome.error << Qt::endl;
        return outcome.allCompleted() ? ExitOk : ExitFailed;
    } catch (const std::exception& e) {
        ctx.err << "dmctl " << name << ": " << detail::errorText(e) << Qt::endl;
        return ExitFailed;
    }
}

const Registrar uploadCommand{
    {QStringLiteral("upload"), QStringLiteral("upload (--scale ADDRESS... | --found) [--pauses]"),
     [](Context& ctx, Args& args) { return runTransfer(ctx, args, Run::Upload); }}};
const Registrar downloadCommand{
    {QStringLiteral("download"), QStringLiteral("download (--scale ADDRESS | --found) [--pauses]"),
     [](Context& ctx, Args& args) { return runTransfer(ctx, args, Run::Download); }}};
const Registrar totalsCommand{
    {QStringLiteral("totals"), QStringLiteral("totals (--scale ADDRESS... | --found) [--pauses]"),
     [](Context& ctx, Args& args) { return runTransfer(ctx, args, Run::Totals); }}};

} // namespace

} // namespace dm::cli
