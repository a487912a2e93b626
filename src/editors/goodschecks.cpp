#include "editors/goodschecks.h"

#include "app/langtext.h"
#include "app/notifier.h"
#include "db/database.h"

#include <QSqlError>

#include <charconv>

namespace dm {

namespace {

bool hasNonZeroDigit(const QString& digits) {
    for (QChar c : digits)
        if (c != u'0')
            return true;
    return false;
}

// An exact decimal amount: the digits before and after the separator.
struct Decimal {
    QString whole;
    QString fraction;
};

// digits, or digits separator digits, or separator digits.
std::optional<Decimal> parseDecimal(const QString& text, const QString& separator) {
    Decimal d;
    qsizetype i = 0;
    while (i < text.size() && text[i].unicode() >= u'0' && text[i].unicode() <= u'9')
        d.whole.append(text[i++]);
    if (i < text.size()) {
        if (separator.isEmpty() || !QStringView(text).sliced(i).startsWith(separator))
            return std::nullopt;
        i += separator.size();
        while (i < text.size() && text[i].unicode() >= u'0' && text[i].unicode() <= u'9')
            d.fraction.append(text[i++]);
        if (i < text.size())
            return std::nullopt;
    }
    if (d.whole.isEmpty() && d.fraction.isEmpty())
        return std::nullopt;
    return d;
}

// Hundredths, rounded half to even on the exact digits; nullopt beyond any price.
std::optional<int64_t> hundredths(const Decimal& d) {
    QString whole = d.whole;
    while (whole.size() > 1 && whole.startsWith(u'0'))
        whole.remove(0, 1);
    if (whole.size() > 15)
        return std::nullopt;
    int64_t value = whole.isEmpty() ? 0 : whole.toLongLong();
    const QString f = d.fraction + QStringLiteral("00");
    value = value * 100 + f.mid(0, 2).toInt();
    const QString rest = d.fraction.mid(2);
    if (!rest.isEmpty()) {
        const int first = rest[0].digitValue();
        const bool beyondHalf = hasNonZeroDigit(rest.mid(1));
        if (first > 5 || (first == 5 && (beyondHalf || (value % 2) != 0)))
            ++value;
    }
    return value;
}

// The normalisation of a typed price: characters up to '9' except the space stay, every
// one of them that is not a digit becomes the decimal separator, nothing left is "0",
// and a trailing separator goes.
std::optional<Decimal> readTypedPrice(const QString& typed) {
    static const QString sep = QStringLiteral(".");
    QString kept;
    for (QChar c : typed) {
        const char16_t u = c.unicode();
        if (u > u'9' || u == u' ')
            continue;
        kept.append(u >= u'0' ? c : QChar(u'.'));
    }
    if (kept.isEmpty())
        kept = QStringLiteral("0");
    if (!kept.back().isDigit())
        kept.chop(1);
    return parseDecimal(kept, sep);
}

// The stored currency form: spacing around the amount does not count, nor do the
// locale's group separators where they group the whole part in threes. A separator
// anywhere else means the text is not in this locale's form (a price stored under
// another locale, "1,50" read where "," groups), and it is not read as one: taking the
// separator out would make a hundred times the price.
std::optional<Decimal> readCurrencyText(const QString& text, const QLocale& locale) {
    QString s = text.trimmed();
    const QString group = locale.groupSeparator();
    const QString point = locale.decimalPoint();
    if (!group.isEmpty() && group != point) {
        qsizetype end = point.isEmpty() ? -1 : s.indexOf(point);
        if (end < 0)
            end = s.size();
        const QStringList groups = s.left(end).split(group);
        for (qsizetype k = 0; k < groups.size(); ++k) {
            const qsizetype n = groups[k].size();
            if (groups.size() > 1 && (k == 0 ? (n < 1 || n > 3) : n != 3))
                return std::nullopt;
        }
        s = groups.join(QString()) + s.mid(end);
    }
    return parseDecimal(s, point);
}

bool withinMaximum(const Decimal& d) {
    // At most 9999.99, compared on the digits so no rounding can let 9999.991 through.
    QString whole = d.whole;
    while (whole.startsWith(u'0'))
        whole.remove(0, 1);
    if (whole.size() < 4)
        return true;
    if (whole.size() > 4 || whole.toInt() > 9999)
        return false;
    if (whole.toInt() < 9999)
        return true;
    return !hasNonZeroDigit(d.fraction.mid(2));
}

bool isBarcodeNumber(const QString& barcode) {
    const QByteArray utf8 = barcode.toUtf8();
    int64_t value = 0;
    const char* end = utf8.constData() + utf8.size();
    const auto [ptr, ec] = std::from_chars(utf8.constData(), end, value);
    return ec == std::errc() && ptr == end && value != -1;
}

QString plainText(const QVariant& v) {
    return v.isNull() ? QString() : v.toString();
}

} // namespace

QString WeightTypeText() {
    return LangText(u"Products", u"Weight", u"weight");
}

QString CountTypeText() {
    return LangText(u"Products", u"Count", u"count");
}

QString CurrencyText(double value, const QLocale& locale) {
    // An empty symbol would bring back the locale's own, so format with a marker and
    // take it out again.
    static const QString marker = QStringLiteral("\u00A4");
    QString s = locale.toCurrencyString(value, marker);
    s.remove(marker);
    return s;
}

std::optional<int64_t> PriceHundredths(const QString& text, const QLocale& locale) {
    std::optional<Decimal> d = readCurrencyText(text, locale);
    if (!d)
        d = readTypedPrice(text);
    if (!d)
        return std::nullopt;
    return hundredths(*d);
}

QString PriceTextFromHundredths(int64_t value, const QLocale& locale) {
    const bool negative = value < 0;
    const uint64_t magnitude = negative ? uint64_t(0) - uint64_t(value) : uint64_t(value);
    QString s = QString::number(magnitude / 100) + locale.decimalPoint() +
                QStringLiteral("%1").arg(magnitude % 100, 2, 10, QChar(u'0'));
    return negative ? u'-' + s : s;
}

std::optional<QString> NormalisedPrice(const QString& typed, const QLocale& locale) {
    // A price already in its stored form (spacing aside) stays as it is, also where the
    // locale groups thousands with a character that the normalisation would turn into a
    // separator.
    if (const std::optional<Decimal> stored = readCurrencyText(typed, locale);
        stored && withinMaximum(*stored)) {
        if (const auto h = hundredths(*stored)) {
            const QString text = CurrencyText(*h / 100.0, locale);
            if (text.trimmed() == typed.trimmed())
                return text;
        }
    }
    const std::optional<Decimal> d = readTypedPrice(typed);
    if (!d || !withinMaximum(*d))
        return std::nullopt;
    const std::optional<int64_t> h = hundredths(*d);
    if (!h)
        return std::nullopt;
    return CurrencyText(*h / 100.0, locale);
}

GoodsChecks::GoodsChecks(QSqlDatabase db, QLocale locale)
    : m_db(std::move(db)), m_locale(std::move(locale)), m_weight(WeightTypeText()) {}

qint64 GoodsChecks::count(QSqlQuery& query, const QVariant& a, const QVariant& b) {
    query.bindValue(0, a);
    query.bindValue(1, b);
    if (!query.exec() || !query.next())
        throw DataError(query.lastError().text());
    const qint64 n = query.value(0).toLongLong();
    query.finish();
    return n;
}

QStringList GoodsChecks::check(QVariantList& record) {
    enum { ID, PLU, RVTName, Type, Price, Barcode, FieldCount };
    while (record.size() < FieldCount)
        record.append(QVariant());
    QStringList failed;

    if (plainText(record[Type]).isEmpty())
        record[Type] = m_weight;

    const QString price = plainText(record[Price]);
    if (const std::optional<QString> stored = NormalisedPrice(price, m_locale))
        record[Price] = *stored;
    else
        failed.append(LangText(u"Text", u"IncorrectPrice", u"Incorrect price") +
                      QStringLiteral(": ") + price);

    const qint64 plu = record[PLU].isNull() ? 0 : record[PLU].toLongLong();
    const qint64 id = record[ID].isNull() ? 0 : record[ID].toLongLong();
    if (!m_pluQuery) {
        m_pluQuery.emplace(m_db);
        m_pluQuery->prepare(
            QStringLiteral("SELECT COUNT(*) FROM Products WHERE PLU = ? AND ID <> ?"));
        // The row being saved is left out by its ID, not by its PLU: an edit that changes
        // the PLU must not find its own stored barcode. A new row (a Copy too) has ID 0,
        // which no stored row has, so every other row counts.
        m_barcodeQuery.emplace(m_db);
        m_barcodeQuery->prepare(
            QStringLiteral("SELECT COUNT(*) FROM Products WHERE Barcode = ? AND ID <> ?"));
    }
    if (count(*m_pluQuery, plu, id) > 0)
        failed.append(LangText(u"Text", u"PLUExists", u"PLU exists") + QStringLiteral(": ") +
                      QString::number(plu));
    // Beyond the field's range is as wrong as zero; a file can carry any 32-bit value.
    if (plu <= 0 || plu > kMaxPlu)
        failed.append(LangText(u"Text", u"IncorrectPLU", u"Incorrect PLU") + QStringLiteral(": ") +
                      QString::number(plu));

    const QString barcode = plainText(record[Barcode]);
    if (!barcode.isEmpty() && count(*m_barcodeQuery, barcode, id) > 0)
        failed.append(LangText(u"Text", u"BarcodeExists", u"Barcode exists") +
                      QStringLiteral(": ") + barcode);
    if (barcode.size() > kMaxBarcodeLength || (!barcode.isEmpty() && !isBarcodeNumber(barcode)))
        failed.append(LangText(u"Text", u"IncorrectBarcode", u"Incorrect barcode") +
                      QStringLiteral(": ") + barcode);
    return failed;
}

void InstallGoodsChecks(Database& db, Notifier& notifier, std::function<bool()> active) {
    Database* database = &db;
    Notifier* sink = &notifier;
    db.products().setBeforePost(
        [database, sink, active = std::move(active)](QVariantList& record, int) {
            if (active && !active())
                return;
            GoodsChecks checks(database->connection());
            const QStringList failed = checks.check(record);
            if (failed.isEmpty())
                return;
            for (const QString& message : failed)
                sink->notify(message);
            throw GoodsRefused(failed);
        });
}

} // namespace dm
