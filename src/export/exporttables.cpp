#include "export/exporttables.h"

#include "app/langtext.h"
#include "db/datasets.h"
#include "export/documentexport.h"

namespace dm {

namespace {

QString textOf(const QVariant& v) {
    return v.isNull() ? QString() : v.toString();
}

std::optional<qint64> integerOf(const QVariant& v) {
    bool ok = false;
    const qint64 x = v.isNull() ? 0 : v.toLongLong(&ok);
    return ok ? std::optional<qint64>(x) : std::nullopt;
}

std::optional<double> numberOf(const QVariant& v) {
    bool ok = false;
    const double x = v.isNull() ? 0 : v.toDouble(&ok);
    return ok ? std::optional<double>(x) : std::nullopt;
}

QDateTime dateTimeOf(const QVariant& v) {
    return v.isNull() ? QDateTime() : v.toDateTime();
}

} // namespace

QStringList goodsColumnTitles() {
    return {LangText(u"Products", u"PLU", u"PLU"), LangText(u"Products", u"Name", u"Name"),
            LangText(u"Products", u"Type", u"Type"), LangText(u"Products", u"Price", u"Price"),
            LangText(u"Products", u"Barcode", u"Barcode")};
}

QStringList totalsColumnTitles() {
    return {LangText(u"Totals", u"Scales", u"Scales"),
            LangText(u"Totals", u"PLU", u"PLU"),
            LangText(u"Totals", u"Name", u"Name"),
            LangText(u"Totals", u"Type", u"Type"),
            LangText(u"Totals", u"DayWeight", u"Day qty."),
            LangText(u"Totals", u"DayNum", u"Day transactions"),
            LangText(u"Totals", u"MonthWeight", u"Month qty."),
            LangText(u"Totals", u"MonthNum", u"Month transactions"),
            LangText(u"Totals", u"Last", u"Last transaction"),
            LangText(u"Totals", u"Read", u"Read at")};
}

GoodsExportTable goodsExportTable(const ProductsDataSet& goods, const QStringList& titles) {
    GoodsExportTable table{titles, {}};
    const int n = goods.recordCount();
    table.rows.reserve(size_t(n));
    for (int r = 0; r < n; ++r) {
        using C = ProductsDataSet::Column;
        table.rows.push_back({integerOf(goods.value(r, C::PLU)), textOf(goods.value(r, C::RVTName)),
                              textOf(goods.value(r, C::Type)), textOf(goods.value(r, C::Price)),
                              textOf(goods.value(r, C::Barcode))});
    }
    return table;
}

TotalsExportTable totalsExportTable(const TotalsDataSet& totals, const QStringList& titles) {
    TotalsExportTable table{titles, {}};
    const int n = totals.recordCount();
    table.rows.reserve(size_t(n));
    for (int r = 0; r < n; ++r) {
        using C = TotalsDataSet::Column;
        table.rows.push_back(
            {textOf(totals.value(r, C::Scales)), integerOf(totals.value(r, C::PLU)),
             textOf(totals.value(r, C::Name)), textOf(totals.value(r, C::Type)),
             numberOf(totals.value(r, C::DayWeight)), integerOf(totals.value(r, C::DayNum)),
             numberOf(totals.value(r, C::MonthWeight)), integerOf(totals.value(r, C::MonthNum)),
             dateTimeOf(totals.value(r, C::Last)), dateTimeOf(totals.value(r, C::Read))});
    }
    return table;
}

QString exportGoodsView(const ProductsDataSet& goods, const QStringList& titles) {
    return exportGoodsDocument(goodsExportTable(goods, titles));
}

QString exportTotalsView(TotalsDataSet& totals, const QStringList& titles) {
    const QString path = exportTotalsWorkbook(totalsExportTable(totals, titles));
    // The export walks the view to its end and leaves it there.
    if (totals.recordCount() > 0)
        totals.setCurrentRow(totals.recordCount() - 1);
    return path;
}

} // namespace dm
