#pragma once

#include "db/dataset.h"

#include <QDate>
#include <QString>
#include <QTime>
#include <QVariantList>

namespace dm {

// The totals page narrows the totals to a period of last-sale times and to a search text
// in one of the first three columns. The filter is a predicate over the values the user
// gave, compared as values (date-times, numbers, texts): nothing the user types becomes
// part of a query text.

// The search columns, in the order of the search choice and of the totals fields.
enum class TotalsSearchColumn { Scales = 0, PLU = 1, Name = 2 };

inline constexpr int kTotalsPluSearchLimit = 8;

// The search text may be as long as the user likes, except in the PLU column (0: none).
int TotalsSearchLimit(TotalsSearchColumn column);
// The search edit takes only digits and Backspace unless the column holds text.
bool TotalsSearchTakesKey(TotalsSearchColumn column, QChar key);
// Whether a whole search text fits the column (pasted text goes through this).
bool TotalsSearchTakesText(TotalsSearchColumn column, const QString& text);

// A period of last-sale times; a null date is an empty date edit. An empty time edit
// counts as 00:00:00.
struct TotalsPeriod {
    QDate startDate;
    QTime startTime;
    QDate endDate;
    QTime endTime;
};

// An end before the start (an empty date or time counting as zero) becomes the start.
// Returns true when the end was changed.
bool OrderTotalsPeriod(TotalsPeriod& period);

struct TotalsFilter {
    TotalsSearchColumn column = TotalsSearchColumn::PLU;
    QString search;
    TotalsPeriod period;

    // The view is filtered once there is a search text or either date.
    bool isActive() const;
    // A Totals record (fields in dataset order). Scales and Name match a case-insensitive
    // prefix, PLU the exact number as decimal digits; the period bounds Last on each
    // given side, inclusive, and a row without a Last time falls outside any period.
    bool accepts(const QVariantList& record) const;
};

// The dataset filter for the view; an inactive filter shows every row.
DataSet::RowFilter TotalsRowFilter(const TotalsFilter& filter);

// A click on a column title: the field already sorted by is unsorted, any other field
// becomes the ascending sort. Returns the field to sort by, empty for natural order.
QString TotalsSortAfterClick(const QString& currentSortField, const QString& clickedField);

// The question before deleting: about the current row when fewer than two rows are
// selected, about "items" otherwise.
QString TotalsDeleteCaption();
QString TotalsDeleteQuestion(int selectedRows, const QVariant& plu, const QVariant& name);

} // namespace dm
