// dmctl card save, card load and card totals: the memory card exchange of the window's
// Save and Load buttons, with a folder standing for the card's root and the messages
// printed.
#include "cli/cli.h"
#include "cli/printing.h"

#include "app/errors.h"
#include "comm/transferrun.h"
#include "db/database.h"
#include "db/datasets.h"
#include "scalefiles/memorycard.h"

#include <QDir>

namespace dm::cli {

namespace {

enum class CardRun { Save, Load, Totals };

int runCard(Context& ctx, Args& args, CardRun run) {
    const QString root = args.takeFolder(QStringLiteral("--root"));
    const QString keypad = run == CardRun::Totals
                               ? QString()
                               : args.take(QStringLiteral("--keypad")).value_or(QString());
    const bool pauses = args.takeFlag(QStringLiteral("--pauses"));
    args.expectEmpty();
    const QString name = run == CardRun::Save   ? QStringLiteral("card save")
                         : run == CardRun::Load ? QStringLiteral("card load")
                                                : QStringLiteral("card totals");
    if (!QFileInfo(root).isDir()) {
        ctx.err << "dmctl " << name << ": " << QDir::toNativeSeparators(root) << ": no such folder"
                << Qt::endl;
        return ExitFailed;
    }

    PrintingSink sink(ctx.out, ctx.err);
    NoPauses none;
    SleepingPauses sleeping;
    ErrorStreamNotifier notifier(ctx.err, QStringLiteral("dmctl ") + name + QStringLiteral(": "));
    try {
        ctx.loadLanguage();
        Database db;
        db.open(ctx.databasePath());
        db.keypads().first();
        MemoryCard card(db, ctx.folder.exportFolder(), sink,
                        pauses ? static_cast<TransferPauses&>(sleeping) : none, notifier);
        switch (run) {
        case CardRun::Save:
            return card.SaveFilesToCard(root, keypad) ? ExitOk : ExitFailed;
        case CardRun::Load: {
            const QStringList missing = card.LoadFilesFromCard(root, keypad);
            for (const QString& file : missing)
                ctx.err << "dmctl " << name << ": " << file << ": not on the card" << Qt::endl;
            return missing.isEmpty() && notifier.count() == 0 ? ExitOk : ExitFailed;
        }
        case CardRun::Totals:
            return card.LoadTotalsFromCard(root) ? ExitOk : ExitFailed;
        }
    } catch (const std::exception& e) {
        ctx.err << "dmctl " << name << ": " << detail::errorText(e) << Qt::endl;
    }
    return ExitFailed;
}

const Registrar saveCommand{
    {QStringLiteral("card save"), QStringLiteral("card save --root DIR [--keypad NAME] [--pauses]"),
     [](Context& ctx, Args& args) { return runCard(ctx, args, CardRun::Save); }}};
const Registrar loadCommand{
    {QStringLiteral("card load"), QStringLiteral("card load --root DIR [--keypad NAME] [--pauses]"),
     [](Context& ctx, Args& args) { return runCard(ctx, args, CardRun::Load); }}};
const Registrar totalsCommand{
    {QStringLiteral("card totals"), QStringLiteral("card totals --root DIR [--pauses]"),
     [](Context& ctx, Args& args) { return runCard(ctx, args, CardRun::Totals); }}};

} // namespace

} // namespace dm::cli
