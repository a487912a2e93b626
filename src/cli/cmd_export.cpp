// dmctl export-goods and export-totals: the documents of the two export buttons, written
// to a file the caller names instead of being opened. Without a view there is no filter
// or sort: all goods and all totals, in the tables' natural order.
#include "cli/cli.h"

#include "app/errors.h"
#include "db/database.h"
#include "export/documentexport.h"
#include "export/exporttables.h"

#include <QDir>

namespace dm::cli {

namespace {

QString targetFile(Args& args) {
    const QStringList files = args.positional();
    if (files.size() != 1)
        throw UsageError{QStringLiteral("one output file is needed")};
    return files.first();
}

template <typename Build>
int runExport(Context& ctx, const QString& command, const QString& file, Build build) {
    try {
        ctx.loadLanguage();
        Database db;
        db.open(ctx.databasePath());
        saveDocument(file, build(db));
    } catch (const UserError& e) {
        ctx.err << "dmctl " << command << ": " << e.text() << "\n";
        return ExitFailed;
    }
    ctx.out << QDir::toNativeSeparators(file) << "\n";
    return ExitOk;
}

int runExportGoods(Context& ctx, Args& args) {
    const QString file = targetFile(args);
    return runExport(ctx, QStringLiteral("export-goods"), file, [](Database& db) {
        return buildGoodsDocx(goodsExportTable(db.products(), goodsColumnTitles()));
    });
}

int runExportTotals(Context& ctx, Args& args) {
    const QString file = targetFile(args);
    return runExport(ctx, QStringLiteral("export-totals"), file, [](Database& db) {
        return buildTotalsXlsx(totalsExportTable(db.totals(), totalsColumnTitles()));
    });
}

const Registrar goodsRegistrar{
    {QStringLiteral("export-goods"), QStringLiteral("export-goods FILE.docx"), runExportGoods}};
const Registrar totalsRegistrar{
    {QStringLiteral("export-totals"), QStringLiteral("export-totals FILE.xlsx"), runExportTotals}};

} // namespace

} // namespace dm::cli
