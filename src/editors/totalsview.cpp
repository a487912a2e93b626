#include "editors/totalsview.h"

#include "app/langtext.h"
#include "db/datasets.h"

#include <QDateTime>

#include <limits>
#include <utility>

namespace dm {

namespace {

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool holdsText(TotalsSearchColumn column) {
    return column == TotalsSearchColumn::Scales || column == TotalsSearchColumn::Name;
}

// An empty date or time counts as zero, before any real one.
std::pair<qint64, int> periodKey(const QDate& date, const QTime& time) {
    return {date.isValid() ? date.toJulianDay() : std::numeric_limits<qint64>::min(),
            time.isValid() ? time.msecsSinceStartOfDay() : 0};
}

QDateTime bound(const QDate& date, const QTime& time) {
    return QDateTime(date, time.isValid() ? time : QTime(0, 0));
}

} // namespace

int TotalsSearchLimit(TotalsSearchColumn column) {
    return column == TotalsSearchColumn::PLU ? kTotalsPluSearchLimit : 0;
}

bool TotalsSearchTakesKey(TotalsSearchColumn column, QChar key) {
    return holdsText(column) || isAsciiDigit(key) || key == u'\b';
}

bool TotalsSearchTakesText(TotalsSearchColumn column, const QString& text) {
    if (holdsText(column))
        return true;
    if (text.size() > kTotalsPluSearchLimit)
        return false;
    for (QChar c : text)
        if (!isAsciiDigit(c))
            return false;
    return true;
}

bool OrderTotalsPeriod(TotalsPeriod& period) {
    if (periodKey(period.endDate, period.endTime) >= periodKey(period.startDate, period.startTime))
        return false;
    period.endDate = period.startDate;
    period.endTime = period.startTime;
    return true;
}

bool TotalsFilter::isActive() const {
    return !search.isEmpty() || period.startDate.isValid() || period.endDate.isValid();
}

bool TotalsFilter::accepts(const QVariantList& record) const {
    if (!search.isEmpty()) {
        const QVariant v = record.value(static_cast<int>(column));
        if (column == TotalsSearchColumn::PLU) {
            // The number exactly as typed: 12 is not 120, and not 012 either.
            if (v.isNull() || QString::number(v.toLongLong()) != search)
                return false;
        } else {
            const QString text = v.isNull() ? QString() : v.toString();
            if (!text.toUpper().startsWith(search.toUpper()))
                return false;
        }
    }
    const bool hasStart = period.startDate.isValid();
    const bool hasEnd = period.endDate.isValid();
    if (hasStart || hasEnd) {
        const QDateTime last = record.value(TotalsDataSet::Last).toDateTime();
        if (!last.isValid())
            return false;
        if (hasStart && last < bound(period.startDate, period.startTime))
            return false;
        if (hasEnd && last > bound(period.endDate, period.endTime))
            return false;
    }
    return true;
}

DataSet::RowFilter TotalsRowFilter(const TotalsFilter& filter) {
    if (!filter.isActive())
        return {};
    return [filter](const QVariantList& record) { return filter.accepts(record); };
}

QString TotalsSortAfterClick(const QString& currentSortField, const QString& clickedField) {
    return currentSortField.compare(clickedField, Qt::CaseInsensitive) == 0 ? QString()
                                                                            : clickedField;
}

QString TotalsDeleteCaption() {
    return LangText(u"Text", u"TotalDeleting", u"Delete item");
}

QString TotalsDeleteQuestion(int selectedRows, const QVariant& plu, const QVariant& name) {
    if (selectedRows >= 2)
        return LangText(u"Text", u"DeleteTotals", u"Delete items?");
    const QString crlf = QStringLiteral("\r\n");
    return LangText(u"Text", u"DeleteTotal", u"Delete item?") + crlf +
           LangText(u"Text", u"PLU", u"PLU") + QStringLiteral(": ") +
           (plu.isNull() ? QString() : plu.toString()) + crlf +
           LangText(u"Text", u"Name", u"Name") + QStringLiteral(": ") +
           (name.isNull() ? QString() : name.toString());
}

} // namespace dm
