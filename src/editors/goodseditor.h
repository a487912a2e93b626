#pragma once

#include "db/dataset.h"

#include <QLocale>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <optional>

namespace dm {

class ProductsDataSet;

// The goods page's logic without widgets: the search and its typing rules, the title
// sort cycle, New, Copy and the delete question.

// The five searchable columns, in the order of the grid and of the search choice. Column
// c is ProductsDataSet field c + 1.
enum class GoodsColumn { PLU, Name, Type, Price, Barcode };
inline constexpr int kGoodsColumns = 5;
int goodsFieldOfColumn(int column); // the ProductsDataSet field index of a grid column

// Most characters the search text takes for a column; 0 for no limit.
int goodsSearchLimit(int column);

// The search text as the typing rules leave it: for PLU and barcode only digits stay;
// for price a full stop or comma becomes the locale's decimal separator and only digits
// and separators stay; name and type take anything. Applied to whatever is typed or
// pasted, so a text never holds a character its column refuses.
QString goodsSearchInput(int column, const QString& typed, const QLocale& locale = QLocale());

// The search: a row passes when its value in the chosen column, as text (a missing value
// is empty) and cut to the length of the search text, equals the search text, both in
// upper case by the locale's rules. A case-insensitive prefix match.
//
// It runs on every row at every keystroke, so a row is matched without allocating: the
// upper case of the search text is made once, and a row's characters are compared one by
// one wherever upper-casing maps one character to one character. Only characters whose
// upper case is longer (the sharp s, ligatures, some Greek) and the locales with rules of
// their own (Turkish, Azerbaijani, Lithuanian, Greek) take the locale's full conversion.
class GoodsSearch {
public:
    GoodsSearch(int column, const QString& text, const QLocale& locale = QLocale());

    bool matches(const QVariantList& record) const; // record in ProductsDataSet field order
    DataSet::RowFilter filter() const;              // a copy of this search as a row filter

    int column() const { return m_column; }
    const QString& text() const { return m_text; }

private:
    bool matchesText(QStringView value) const;
    bool matchesSlowly(QStringView cut) const;

    int m_column;
    int m_field;
    QString m_text;
    QString m_upper;       // m_text upper-cased one character at a time
    QString m_localeUpper; // m_text upper-cased by the locale
    bool m_fast = true;    // rows may be matched one character at a time
    QLocale m_locale;
};

// True when c may upper-case to more than one character (or is half of a pair).
bool goodsUpperCaseExpands(char16_t c);

// The title-click sort cycle on one column: none, ascending, descending, none. A click
// on a column other than the sorted one clears the sort.
struct GoodsSort {
    int column = -1; // -1: natural order
    Qt::SortOrder order = Qt::AscendingOrder;
    bool operator==(const GoodsSort&) const = default;
};
GoodsSort nextGoodsSort(const GoodsSort& current, int clickedColumn);
// The dataset's sort as a cycle state (a sort on a field that is no grid column: none).
GoodsSort goodsSortOf(const DataSet& goods);
// Sorts the goods as the state says.
void applyGoodsSort(DataSet& goods, const GoodsSort& sort);

// The highest PLU of all goods, filtered out or not; 0 when there are none.
qint64 highestPlu(const QSqlDatabase& db);

// New: appends a goods row with the next PLU, price "0" + separator + "00", the weight
// word and empty name and barcode. The row passes the goods checks like any other save;
// a refusal throws (GoodsRefused, or DataError for a PLU beyond the field's range) and
// adds nothing. Returns the new row's visible row (-1 when the filter hides it).
int addGoods(ProductsDataSet& goods, const QSqlDatabase& db, const QLocale& locale = QLocale());

// Copy: appends a row with the next PLU and every other value of the given row. The
// barcode check refuses a copy of goods that have a barcode. Throws like addGoods.
int copyGoods(ProductsDataSet& goods, const QSqlDatabase& db, int row);

// The delete question: for fewer than two selected rows it names the current row's PLU
// and name, otherwise it asks about all selected rows.
QString goodsDeleteQuestion(int selectedRows, const QVariant& plu, const QVariant& name);
QString goodsDeleteCaption();
// Deletes the current row (fewer than two selected rows) or all selected rows, in one
// transaction. Nothing happens on an empty list.
void deleteGoods(ProductsDataSet& goods, const QList<int>& selectedRows);

// The number of goods in the table, filtered out or not.
qint64 goodsCount(const QSqlDatabase& db);

} // namespace dm
