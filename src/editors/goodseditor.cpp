#include "editors/goodseditor.h"

#include "app/errors.h"
#include "app/langtext.h"
#include "db/database.h"
#include "db/datasets.h"
#include "editors/goodschecks.h"

#include <QSqlError>
#include <QSqlQuery>

#include <array>

namespace dm {

int goodsFieldOfColumn(int column) {
    return column >= 0 && column < kGoodsColumns ? column + 1 : -1;
}

int goodsSearchLimit(int column) {
    switch (GoodsColumn(column)) {
    case GoodsColumn::PLU:
        return 8;
    case GoodsColumn::Price:
        return 7;
    case GoodsColumn::Barcode:
        return kMaxBarcodeLength;
    default:
        return 0;
    }
}

QString goodsSearchInput(int column, const QString& typed, const QLocale& locale) {
    const auto isDigit = [](QChar c) { return c.unicode() >= u'0' && c.unicode() <= u'9'; };
    switch (GoodsColumn(column)) {
    case GoodsColumn::PLU:
    case GoodsColumn::Barcode: {
        QString kept;
        for (QChar c : typed)
            if (isDigit(c))
                kept.append(c);
        return kept;
    }
    case GoodsColumn::Price: {
        const QString separator = locale.decimalPoint();
        QString kept;
        for (qsizetype i = 0; i < typed.size(); ++i) {
            const QChar c = typed[i];
            if (isDigit(c)) {
                kept.append(c);
            } else if (c == u'.' || c == u',') {
                kept.append(separator);
            } else if (QStringView(typed).sliced(i).startsWith(separator)) {
                kept.append(separator); // a separator that is neither '.' nor ','
                i += separator.size() - 1;
            }
        }
        return kept;
    }
    default:
        return typed;
    }
}

// ---- search --------------------------------------------------------------------------------

bool goodsUpperCaseExpands(char16_t c) {
    if (c < 0xDF)
        return false;
    if (c >= 0xD800 && c <= 0xDFFF)
        return true; // outside the basic plane: left to the locale
    // Letters whose upper case is two or three characters (and a margin around the Greek
    // blocks, where most of them are); matching them through the locale is merely slower.
    return c == 0x00DF || c == 0x0149 || c == 0x01F0 || c == 0x0390 || c == 0x03B0 || c == 0x0587 ||
           (c >= 0x1E96 && c <= 0x1E9A) || (c >= 0x1F50 && c <= 0x1F57) ||
           (c >= 0x1F80 && c <= 0x1FFF) || (c >= 0xFB00 && c <= 0xFB17);
}

namespace {

// One character's upper case where it is one character; 0 where it is not.
char16_t upperOf(char16_t c) {
    if (c < 0x80)
        return c >= u'a' && c <= u'z' ? char16_t(c - (u'a' - u'A')) : c;
    if (goodsUpperCaseExpands(c))
        return 0;
    const char32_t u = QChar::toUpper(char32_t(c));
    return u > 0xFFFF ? 0 : char16_t(u);
}

bool hasOwnCaseRules(const QLocale& locale) {
    switch (locale.language()) {
    case QLocale::Turkish:
    case QLocale::Azerbaijani:
    case QLocale::Lithuanian:
    case QLocale::Greek:
        return true;
    default:
        return false;
    }
}

bool isIntegerType(int type) {
    switch (type) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

} // namespace

GoodsSearch::GoodsSearch(int column, const QString& text, const QLocale& locale)
    : m_column(column), m_field(goodsFieldOfColumn(column)), m_text(text), m_locale(locale) {
    m_localeUpper = m_locale.toUpper(m_text);
    m_fast = !hasOwnCaseRules(m_locale);
    m_upper.reserve(m_text.size());
    for (QChar c : m_text) {
        const char16_t u = upperOf(c.unicode());
        if (u == 0) {
            m_fast = false;
            break;
        }
        m_upper.append(QChar(u));
    }
}

bool GoodsSearch::matchesSlowly(QStringView cut) const {
    return m_locale.toUpper(cut.toString()) == m_localeUpper;
}

bool GoodsSearch::matchesText(QStringView value) const {
    const qsizetype n = m_text.size();
    const QStringView cut = value.left(n);
    if (!m_fast)
        return matchesSlowly(cut);
    if (cut.size() != n) {
        // Shorter than the search text: only a character that upper-cases to more than
        // one could make up the difference.
        for (QChar c : cut)
            if (upperOf(c.unicode()) == 0)
                return matchesSlowly(cut);
        return false;
    }
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = upperOf(cut[i].unicode());
        if (u == 0)
            return matchesSlowly(cut);
        if (u != m_upper[i].unicode())
            return false;
    }
    return true;
}

bool GoodsSearch::matches(const QVariantList& record) const {
    if (m_field < 0 || m_field >= record.size())
        return m_text.isEmpty();
    const QVariant& v = record[m_field];
    if (!v.isValid() || v.isNull())
        return matchesText(QStringView());
    const int type = v.metaType().id();
    if (type == QMetaType::QString)
        return matchesText(*static_cast<const QString*>(v.constData()));
    if (isIntegerType(type)) {
        // Decimal digits on the stack: PLU searches touch every row.
        std::array<char16_t, 24> buffer{};
        qlonglong x = v.toLongLong();
        const bool negative = x < 0;
        qulonglong magnitude = negative ? qulonglong(0) - qulonglong(x) : qulonglong(x);
        qsizetype pos = qsizetype(buffer.size());
        do {
            buffer[--pos] = char16_t(u'0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        if (negative)
            buffer[--pos] = u'-';
        return matchesText(QStringView(buffer.data() + pos, qsizetype(buffer.size()) - pos));
    }
    return matchesText(v.toString());
}

DataSet::RowFilter GoodsSearch::filter() const {
    return [search = *this](const QVariantList& record) { return search.matches(record); };
}

// ---- sort ----------------------------------------------------------------------------------

GoodsSort nextGoodsSort(const GoodsSort& current, int clickedColumn) {
    if (clickedColumn < 0 || clickedColumn >= kGoodsColumns)
        return current;
    if (current.column < 0)
        return {clickedColumn, Qt::AscendingOrder};
    if (current.column != clickedColumn)
        return {};
    if (current.order == Qt::AscendingOrder)
        return {clickedColumn, Qt::DescendingOrder};
    return {};
}

GoodsSort goodsSortOf(const DataSet& goods) {
    const int field = goods.sortField().isEmpty() ? -1 : goods.fieldIndex(goods.sortField());
    const int column = field - 1;
    if (column < 0 || column >= kGoodsColumns)
        return {};
    return {column, goods.sortOrder()};
}

void applyGoodsSort(DataSet& goods, const GoodsSort& sort) {
    const int field = goodsFieldOfColumn(sort.column);
    goods.setSortField(field < 0 ? QString() : goods.fields()[field], sort.order);
}

// ---- New, Copy, Delete ---------------------------------------------------------------------

namespace {

qint64 scalar(const QSqlDatabase& db, const QString& sql) {
    QSqlQuery q(db);
    if (!q.exec(sql) || !q.next())
        throw DataError(q.lastError().text());
    return q.value(0).isNull() ? 0 : q.value(0).toLongLong();
}

} // namespace

qint64 highestPlu(const QSqlDatabase& db) {
    return scalar(db, QStringLiteral("SELECT MAX(\"PLU\") FROM \"Products\""));
}

qint64 goodsCount(const QSqlDatabase& db) {
    return scalar(db, QStringLiteral("SELECT COUNT(*) FROM \"Products\""));
}

int addGoods(ProductsDataSet& goods, const QSqlDatabase& db, const QLocale& locale) {
    const qint64 plu = highestPlu(db) + 1;
    return goods.append({{QStringLiteral("PLU"), plu},
                         {QStringLiteral("RVTName"), QStringLiteral("")},
                         {QStringLiteral("Type"), WeightTypeText()},
                         {QStringLiteral("Price"),
                          QStringLiteral("0") + locale.decimalPoint() + QStringLiteral("00")},
                         {QStringLiteral("Barcode"), QStringLiteral("")}});
}

int copyGoods(ProductsDataSet& goods, const QSqlDatabase& db, int row) {
    const QVariantList source = goods.record(row);
    if (source.isEmpty())
        return -1;
    const qint64 plu = highestPlu(db) + 1;
    return goods.append({{QStringLiteral("PLU"), plu},
                         {QStringLiteral("RVTName"), source[ProductsDataSet::RVTName]},
                         {QStringLiteral("Type"), source[ProductsDataSet::Type]},
                         {QStringLiteral("Price"), source[ProductsDataSet::Price]},
                         {QStringLiteral("Barcode"), source[ProductsDataSet::Barcode]}});
}

QString goodsDeleteCaption() {
    return LangText(u"Text", u"ItemDeleting", u"Delete item");
}

QString goodsDeleteQuestion(int selectedRows, const QVariant& plu, const QVariant& name) {
    if (selectedRows >= 2)
        return LangText(u"Text", u"DeleteItems", u"Delete selected items?");
    return LangText(u"Text", u"DeleteItem", u"Delete item?") + u'\n' +
           LangText(u"Text", u"PLU", u"PLU") + QStringLiteral(": ") + plu.toString() + u'\n' +
           LangText(u"Text", u"Name", u"Name") + QStringLiteral(": ") + name.toString();
}

void deleteGoods(ProductsDataSet& goods, const QList<int>& selectedRows) {
    if (goods.isEmpty())
        return;
    if (selectedRows.size() < 2) {
        if (goods.currentRow() >= 0)
            goods.remove(goods.currentRow());
        return;
    }
    goods.removeRows(selectedRows);
}

} // namespace dm
