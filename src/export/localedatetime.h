#pragma once

#include <QChar>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringView>

namespace dm {

// The date and time separators of a locale: the first character of its short date (time)
// format that is neither a letter, a space nor an invisible format mark, outside quoted
// literals; "/" (":") where there is none, as in the C locale's "d MMM yyyy".
QChar formatSeparator(QStringView format, QChar fallback);
QChar dateSeparator(const QLocale& locale = QLocale());
QChar timeSeparator(const QLocale& locale = QLocale());

// "dd/mm/yyyy hh:nn:ss" with the locale's separators in place of "/" and ":", 24-hour
// time; empty for an invalid date-time.
QString dayMonthYearTimeText(const QDateTime& value, const QLocale& locale = QLocale());

} // namespace dm
