#include "export/localedatetime.h"

namespace dm {

QChar formatSeparator(QStringView format, QChar fallback) {
    bool quoted = false;
    for (QChar c : format) {
        if (c == u'\'') {
            quoted = !quoted;
            continue;
        }
        // Direction marks (as in Arabic formats) sit beside the separator, invisible.
        if (quoted || c.isLetter() || c.isSpace() || c.category() == QChar::Other_Format)
            continue;
        return c;
    }
    return fallback;
}

QChar dateSeparator(const QLocale& locale) {
    return formatSeparator(locale.dateFormat(QLocale::ShortFormat), u'/');
}

QChar timeSeparator(const QLocale& locale) {
    return formatSeparator(locale.timeFormat(QLocale::ShortFormat), u':');
}

QString dayMonthYearTimeText(const QDateTime& value, const QLocale& locale) {
    if (!value.isValid())
        return QString();
    const QChar ds = dateSeparator(locale);
    const QChar ts = timeSeparator(locale);
    const QDate d = value.date();
    const QTime t = value.time();
    const auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QChar(u'0')); };
    QString text;
    text.reserve(19);
    text += two(d.day());
    text += ds;
    text += two(d.month());
    text += ds;
    text += QStringLiteral("%1").arg(d.year(), 4, 10, QChar(u'0'));
    text += u' ';
    text += two(t.hour());
    text += ts;
    text += two(t.minute());
    text += ts;
    text += two(t.second());
    return text;
}

} // namespace dm
