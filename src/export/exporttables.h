#pragma once

#include "export/goodsdocx.h"
#include "export/totalsxlsx.h"

#include <QStringList>

namespace dm {

class ProductsDataSet;
class TotalsDataSet;

// The column titles of the goods grid and of the totals grid from the current language
// file, for callers without a grid (the command-line tool).
QStringList goodsColumnTitles();
QStringList totalsColumnTitles();

// The visible rows of a dataset (after its filter, in its sort order) as export tables.
GoodsExportTable goodsExportTable(const ProductsDataSet& goods, const QStringList& titles);
TotalsExportTable totalsExportTable(const TotalsDataSet& totals, const QStringList& titles);

// The export buttons: exactly the rows shown, with the grid's titles. After the totals
// export the view's current row is its last row (filter and sort unchanged); the goods
// list keeps its current row. Both return the document's path; FileError as the exports.
QString exportGoodsView(const ProductsDataSet& goods, const QStringList& titles);
QString exportTotalsView(TotalsDataSet& totals, const QStringList& titles);

} // namespace dm
