// dmctl make-files, import-files and import-totals: the scale files of a memory card
// made from the database, read back into it, and a totals file appended to Totals.
#include "cli/cli.h"
#include "cli/printing.h"

#include "app/errors.h"
#include "app/langtext.h"
#include "db/database.h"
#include "scalefiles/scalefileio.h"
#include "scalefiles/scalefilenames.h"

#include <QDir>
#include <QFileInfo>

namespace dm::cli {

namespace {

// Makes the named keypad the current row of the keypad list (the first one by default).
void chooseKeypad(Database& db, const std::optional<QString>& name) {
    KeypadsDataSet& keypads = db.keypads();
    if (!name) {
        keypads.first();
        return;
    }
    if (!keypads.locate(QStringLiteral("Name"), *name))
        throw DataError(LangText(u"Text", u"KeypadNotFound", u"Keypad not found") +
                        QStringLiteral(": ") + *name);
}

int runMakeFiles(Context& ctx, Args& args) {
    const QString out = args.takeFolder(QStringLiteral("--out"));
    const std::optional<QString> keypad = args.take(QStringLiteral("--keypad"));
    args.expectEmpty();
    try {
        ctx.loadLanguage();
        Database db;
        db.open(ctx.databasePath());
        chooseKeypad(db, keypad);
        ScaleFiles files(db, out);
        for (const QString& path : {files.WriteGoodsFile(), files.WriteTicketFile(),
                                    files.WriteOperatorsFile(), files.WriteKeypadFile()})
            ctx.out << QDir::toNativeSeparators(path) << "\n";
    } catch (const UserError& e) {
        ctx.err << "dmctl make-files: " << e.text() << "\n";
        return ExitFailed;
    }
    return ExitOk;
}

int runImportFiles(Context& ctx, Args& args) {
    const QString from = args.takeFolder(QStringLiteral("--from"));
    const std::optional<QString> keypad = args.take(QStringLiteral("--keypad"));
    args.expectEmpty();
    const QString prefix = QStringLiteral("dmctl import-files: ");
    ErrorStreamNotifier notifier(ctx.err, prefix);
    int rc = ExitOk;
    try {
        ctx.loadLanguage();
        Database db;
        db.open(ctx.databasePath());
        ScaleFiles files(db, from);
        const ScaleFileKind kinds[] = {ScaleFileKind::Goods, ScaleFileKind::Ticket,
                                       ScaleFileKind::Operators, ScaleFileKind::Keypad};
        for (ScaleFileKind kind : kinds) {
            const QString path = FindScaleFile(from, kind);
            const QString name =
                path.isEmpty() ? CanonicalScaleFileName(kind) : QFileInfo(path).fileName();
            if (path.isEmpty()) {
                ctx.out << name << ": " << LangText(u"Text", u"FileAbsent", u"absent") << "\n";
                continue;
            }
            // Each file on its own: a refused one does not keep the others out.
            try {
                switch (kind) {
                case ScaleFileKind::Goods: {
                    const GoodsImportResult r = files.ReadGoodsFile(notifier);
                    ctx.out << name << ": " << r.stored << ' '
                            << LangText(u"Text", u"RowsStored", u"stored") << ", " << r.refused
                            << ' ' << LangText(u"Text", u"RowsRefused", u"refused") << "\n";
                    if (r.refused > 0)
                        rc = ExitFailed;
                    break;
                }
                case ScaleFileKind::Ticket:
                    files.ReadTicketFile();
                    ctx.out << name << ": " << LangText(u"Text", u"FileRead", u"read") << "\n";
                    break;
                case ScaleFileKind::Operators:
                    files.ReadOperatorsFile();
                    ctx.out << name << ": " << LangText(u"Text", u"FileRead", u"read") << "\n";
                    break;
                default:
                    files.ReadKeypadFile(MemoryCardSource(), keypad.value_or(QString()));
                    ctx.out << name << ": " << LangText(u"Text", u"FileRead", u"read") << "\n";
                    break;
                }
            } catch (const UserError& e) {
                notifier.notify(e.text());
                rc = ExitFailed;
            }
        }
    } catch (const UserError& e) {
        notifier.notify(e.text());
        return ExitFailed;
    }
    return rc;
}

int runImportTotals(Context& ctx, Args& args) {
    const QString source = args.take(QStringLiteral("--source")).value_or(MemoryCardSource());
    const QStringList rest = args.positional();
    if (rest.size() != 1)
        throw UsageError{QStringLiteral("one totals file is needed")};
    if (source.isEmpty())
        throw UsageError{QStringLiteral("--source needs an address")};
    const QString file = QFileInfo(rest.first()).absoluteFilePath();
    try {
        ctx.loadLanguage();
        Database db;
        db.open(ctx.databasePath());
        ScaleFiles files(db, QFileInfo(file).absolutePath());
        const int added = files.ImportTotalsFile(source, file);
        ctx.out << QFileInfo(file).fileName() << ": " << added << ' '
                << LangText(u"Text", u"RowsAdded", u"rows added") << "\n";
    } catch (const UserError& e) {
        ctx.err << "dmctl import-totals: " << e.text() << "\n";
        return ExitFailed;
    }
    return ExitOk;
}

const Registrar makeRegistrar{{QStringLiteral("make-files"),
                               QStringLiteral("make-files --out DIR [--keypad NAME]"),
                               runMakeFiles}};
const Registrar importRegistrar{{QStringLiteral("import-files"),
                                 QStringLiteral("import-files --from DIR [--keypad NAME]"),
                                 runImportFiles}};
const Registrar totalsRegistrar{{QStringLiteral("import-totals"),
                                 QStringLiteral("import-totals FILE [--source ADDRESS]"),
                                 runImportTotals}};

} // namespace

} // namespace dm::cli
