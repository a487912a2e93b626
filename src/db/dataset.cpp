#include "db/dataset.h"

#include "app/errors.h"
#include "db/database.h"
#include "db/dbtexts.h"
#include "db/schema.h"

#include <QCollatorSortKey>
#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <cmath>
#include <limits>

namespace dm {

using schema::ColumnType;

struct DataSet::Loaded {
    std::vector<QVariantList> rows;
    std::vector<qint64> ids;
};

namespace {

// Same value, with NULL distinct from every value (an empty text is not NULL).
bool sameValue(const QVariant& a, const QVariant& b) {
    if (a.isValid() != b.isValid())
        return false;
    return !a.isValid() || a == b;
}

bool isNullInput(const QVariant& v) {
    if (!v.isValid() || v.isNull())
        return true;
    return v.metaType().id() == QMetaType::QString && v.toString().isNull();
}

bool isNumberType(int type) {
    switch (type) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

template <typename T> int threeWay(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

} // namespace

DataSet::DataSet(QString table, QStringList fields, QObject* parent)
    : QAbstractTableModel(parent), m_table(std::move(table)), m_fields(std::move(fields)) {
    m_schema = schema::table(m_table);
    if (!m_schema)
        qFatal("DataSet over unknown table %s", qPrintable(m_table));
    for (int i = 0; i < m_fields.size(); ++i) {
        const schema::Column* c = m_schema->column(m_fields[i]);
        if (!c)
            qFatal("DataSet field %s is not a column of %s", qPrintable(m_fields[i]),
                   qPrintable(m_table));
        m_columns.push_back(c);
        if (c->type == ColumnType::AutoNumber)
            m_autoField = i;
    }
}

DataSet::~DataSet() = default;

int DataSet::fieldIndex(const QString& field) const {
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void DataSet::setNaturalOrderField(const QString& field) {
    m_naturalField = fieldIndex(field);
}

void DataSet::requireOpen() const {
    if (!m_open)
        throw DataError(dbtext::notOpen(m_table));
}

void DataSet::requireRow(int row) const {
    if (row < 0 || row >= recordCount())
        throw DataError(dbtext::noRecord(m_table, row));
}

// ---- reading ----------------------------------------------------------------------------

QVariant DataSet::fromDb(int field, const QVariant& v) const {
    if (!v.isValid() || v.isNull())
        return QVariant();
    const schema::Column& c = *m_columns[field];
    const int type = v.metaType().id();
    if (c.isInteger()) {
        if (type == QMetaType::LongLong)
            return v;
        bool ok = false;
        const qlonglong x = v.toLongLong(&ok);
        if (ok)
            return x;
        const double d = v.toDouble(&ok);
        return ok && std::isfinite(d) ? QVariant(qlonglong(d)) : QVariant();
    }
    switch (c.type) {
    case ColumnType::Double:
        return type == QMetaType::Double ? v : QVariant(v.toDouble());
    case ColumnType::DateTime: {
        const QDateTime dt = schema::fromDbDateTime(v);
        return dt.isValid() ? QVariant(dt) : QVariant();
    }
    default:
        return type == QMetaType::QString ? v : QVariant(v.toString());
    }
}

QVariant DataSet::toDb(int field, const QVariant& v) const {
    if (!v.isValid())
        return QVariant();
    if (m_columns[field]->type == ColumnType::DateTime)
        return schema::toDbDateTime(v.toDateTime());
    return v;
}

DataSet::Loaded DataSet::readAll() const {
    const QString identity = schema::identityExpression(*m_schema);
    QString sql = QStringLiteral("SELECT ") + identity;
    for (const QString& f : m_fields)
        sql += QStringLiteral(", ") + schema::quoted(f);
    sql += QStringLiteral(" FROM ") + schema::quoted(m_table) + QStringLiteral(" ORDER BY ");
    if (m_naturalField >= 0)
        sql += schema::quoted(m_fields[m_naturalField]) + QStringLiteral(", ");
    sql += identity;

    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.exec(sql))
        throw DataError(dbtext::readFailed(m_table, q.lastError().text()));
    Loaded l;
    const int n = int(m_fields.size());
    while (q.next()) {
        l.ids.push_back(q.value(0).toLongLong());
        QVariantList rec;
        rec.reserve(n);
        for (int i = 0; i < n; ++i)
            rec.append(fromDb(i, q.value(i + 1)));
        l.rows.push_back(std::move(rec));
    }
    if (q.lastError().type() != QSqlError::NoError)
        throw DataError(dbtext::readFailed(m_table, q.lastError().text()));
    return l;
}

void DataSet::open(const QSqlDatabase& db) {
    if (m_open)
        close();
    m_db = db;
    Loaded l;
    try {
        l = readAll();
    } catch (...) {
        m_db = QSqlDatabase();
        throw;
    }
    beginResetModel();
    m_rows = std::move(l.rows);
    m_ids = std::move(l.ids);
    m_open = true;
    rebuildView();
    endResetModel();
    m_current = -1;
    m_currentId = -1;
    updateCurrent(m_view.empty() ? -1 : 0);
}

void DataSet::close() {
    beginResetModel();
    m_rows.clear();
    m_ids.clear();
    m_view.clear();
    m_open = false;
    m_db = QSqlDatabase();
    endResetModel();
    updateCurrent(-1);
}

void DataSet::refresh() {
    requireOpen();
    Loaded l = readAll(); // a failed read changes nothing
    const qint64 id = m_currentId;
    const int old = m_current;
    beginResetModel();
    m_rows = std::move(l.rows);
    m_ids = std::move(l.ids);
    rebuildView();
    endResetModel();
    restoreCurrent(id, old);
}

// ---- the view ----------------------------------------------------------------------------

bool DataSet::passes(int nat) const {
    return !m_filter || m_filter(m_rows[nat]);
}

int DataSet::compareField(int field, const QVariant& a, const QVariant& b) const {
    if (!a.isValid() || !b.isValid())
        return threeWay(a.isValid(), b.isValid()); // NULL first
    const schema::Column& c = *m_columns[field];
    if (c.isInteger())
        return threeWay(a.toLongLong(), b.toLongLong());
    switch (c.type) {
    case ColumnType::Double:
        return threeWay(a.toDouble(), b.toDouble());
    case ColumnType::DateTime:
        return threeWay(a.toDateTime(), b.toDateTime());
    default: {
        const int r = m_collator ? m_collator->compare(a.toString(), b.toString())
                                 : a.toString().compare(b.toString(), Qt::CaseInsensitive);
        return threeWay(r, 0);
    }
    }
}

bool DataSet::viewLess(int natA, int natB) const {
    if (m_sortColumn >= 0) {
        int c = compareField(m_sortColumn, m_rows[natA][m_sortColumn], m_rows[natB][m_sortColumn]);
        if (m_sortOrder == Qt::DescendingOrder)
            c = -c;
        if (c != 0)
            return c < 0;
    }
    return natA < natB; // ties keep natural order
}

bool DataSet::naturalLess(const QVariantList& a, qint64 idA, const QVariantList& b,
                          qint64 idB) const {
    if (m_naturalField >= 0) {
        const int c = compareField(m_naturalField, a[m_naturalField], b[m_naturalField]);
        if (c != 0)
            return c < 0;
    }
    return idA < idB;
}

void DataSet::sortView() {
    if (m_sortColumn < 0)
        return; // the view is built in natural order
    const int col = m_sortColumn;
    const bool desc = m_sortOrder == Qt::DescendingOrder;
    const schema::Column& c = *m_columns[col];

    // NULLs come first ascending and last descending, in natural order among themselves.
    std::vector<int> nulls;
    auto finish = [&](std::vector<int>& sorted) {
        m_view.clear();
        if (!desc)
            m_view.insert(m_view.end(), nulls.begin(), nulls.end());
        m_view.insert(m_view.end(), sorted.begin(), sorted.end());
        if (desc)
            m_view.insert(m_view.end(), nulls.begin(), nulls.end());
    };
    auto sortByKey = [&](auto keyOf) {
        using Key = decltype(keyOf(QVariant()));
        std::vector<std::pair<Key, int>> keyed;
        keyed.reserve(m_view.size());
        for (int nat : m_view) {
            const QVariant& v = m_rows[nat][col];
            if (!v.isValid())
                nulls.push_back(nat);
            else
                keyed.emplace_back(keyOf(v), nat);
        }
        std::stable_sort(keyed.begin(), keyed.end(), [desc](const auto& a, const auto& b) {
            return desc ? b.first < a.first : a.first < b.first;
        });
        std::vector<int> sorted;
        sorted.reserve(keyed.size());
        for (const auto& k : keyed)
            sorted.push_back(k.second);
        finish(sorted);
    };

    if (c.isInteger()) {
        sortByKey([](const QVariant& v) { return v.toLongLong(); });
    } else if (c.type == ColumnType::Double) {
        sortByKey([](const QVariant& v) { return v.toDouble(); });
    } else if (c.type == ColumnType::DateTime) {
        sortByKey([](const QVariant& v) { return v.toDateTime().toMSecsSinceEpoch(); });
    } else {
        // Collation keys once per row: comparing through the collator at every step of
        // the sort would cost several times as much on large tables.
        struct Keyed {
            QCollatorSortKey key;
            int nat;
        };
        std::vector<Keyed> keyed;
        keyed.reserve(m_view.size());
        for (int nat : m_view) {
            const QVariant& v = m_rows[nat][col];
            if (!v.isValid())
                nulls.push_back(nat);
            else
                keyed.push_back({m_collator->sortKey(v.toString()), nat});
        }
        std::stable_sort(keyed.begin(), keyed.end(), [desc](const Keyed& a, const Keyed& b) {
            const int r = a.key.compare(b.key);
            return desc ? r > 0 : r < 0;
        });
        std::vector<int> sorted;
        sorted.reserve(keyed.size());
        for (const Keyed& k : keyed)
            sorted.push_back(k.nat);
        finish(sorted);
    }
}

void DataSet::rebuildView() {
    m_view.clear();
    m_view.reserve(m_rows.size());
    for (int nat = 0; nat < int(m_rows.size()); ++nat)
        if (passes(nat))
            m_view.push_back(nat);
    sortView();
}

int DataSet::viewInsertPosition(int nat) const {
    auto it = std::lower_bound(m_view.begin(), m_view.end(), nat,
                               [this](int a, int b) { return viewLess(a, b); });
    return int(it - m_view.begin());
}

void DataSet::insertNatural(int nat) {
    for (int& v : m_view)
        if (v >= nat)
            ++v;
}

void DataSet::eraseNatural(int nat) {
    for (int& v : m_view)
        if (v > nat)
            --v;
}

void DataSet::updateCurrent(int row) {
    const int oldRow = m_current;
    const qint64 oldId = m_currentId;
    m_current = row;
    m_currentId = row >= 0 ? m_ids[m_view[row]] : -1;
    if (m_current != oldRow || m_currentId != oldId)
        emit currentRowChanged(m_current);
}

void DataSet::restoreCurrent(qint64 identity, int fallbackRow) {
    if (m_view.empty()) {
        updateCurrent(-1);
        return;
    }
    if (identity >= 0) {
        for (int i = 0; i < int(m_view.size()); ++i) {
            if (m_ids[m_view[i]] == identity) {
                updateCurrent(i);
                return;
            }
        }
    }
    updateCurrent(std::clamp(fallbackRow, 0, int(m_view.size()) - 1));
}

// A posted row takes its place under the filter and the sort.
void DataSet::placeAfterChange(int viewRow, bool naturalMoved) {
    const int last = int(m_fields.size()) - 1;
    if (naturalMoved) {
        // Rare (renumbering keys): re-sort the rows and rebuild the view.
        const qint64 id = m_currentId;
        const int old = m_current;
        std::vector<int> order(m_rows.size());
        for (int i = 0; i < int(order.size()); ++i)
            order[i] = i;
        std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
            return naturalLess(m_rows[a], m_ids[a], m_rows[b], m_ids[b]);
        });
        std::vector<QVariantList> rows;
        std::vector<qint64> ids;
        rows.reserve(order.size());
        ids.reserve(order.size());
        for (int i : order) {
            rows.push_back(std::move(m_rows[i]));
            ids.push_back(m_ids[i]);
        }
        beginResetModel();
        m_rows = std::move(rows);
        m_ids = std::move(ids);
        rebuildView();
        endResetModel();
        restoreCurrent(id, old);
        return;
    }

    const int nat = m_view[viewRow];
    if (!passes(nat)) {
        beginRemoveRows(QModelIndex(), viewRow, viewRow);
        m_view.erase(m_view.begin() + viewRow);
        endRemoveRows();
        if (m_current > viewRow)
            updateCurrent(m_current - 1);
        else if (m_current == viewRow)
            updateCurrent(std::min(viewRow, int(m_view.size()) - 1));
        return;
    }

    if (m_sortColumn >= 0) {
        const int size = int(m_view.size());
        const bool okBefore = viewRow == 0 || viewLess(m_view[viewRow - 1], nat);
        const bool okAfter = viewRow + 1 == size || viewLess(nat, m_view[viewRow + 1]);
        auto less = [this](int a, int b) { return viewLess(a, b); };
        if (!okBefore) {
            const int to =
                int(std::lower_bound(m_view.begin(), m_view.begin() + viewRow, nat, less) -
                    m_view.begin());
            beginMoveRows(QModelIndex(), viewRow, viewRow, QModelIndex(), to);
            std::rotate(m_view.begin() + to, m_view.begin() + viewRow,
                        m_view.begin() + viewRow + 1);
            endMoveRows();
            if (m_current == viewRow)
                updateCurrent(to);
            else if (m_current >= to && m_current < viewRow)
                updateCurrent(m_current + 1);
            viewRow = to;
        } else if (!okAfter) {
            const int before =
                int(std::lower_bound(m_view.begin() + viewRow + 1, m_view.end(), nat, less) -
                    m_view.begin());
            beginMoveRows(QModelIndex(), viewRow, viewRow, QModelIndex(), before);
            std::rotate(m_view.begin() + viewRow, m_view.begin() + viewRow + 1,
                        m_view.begin() + before);
            endMoveRows();
            if (m_current == viewRow)
                updateCurrent(before - 1);
            else if (m_current > viewRow && m_current < before)
                updateCurrent(m_current - 1);
            viewRow = before - 1;
        }
    }
    emit dataChanged(index(viewRow, 0), index(viewRow, last));
}

// ---- values --------------------------------------------------------------------------------

int DataSet::recordCount() const {
    return int(m_view.size());
}

QVariant DataSet::value(int row, int field) const {
    if (row < 0 || row >= recordCount() || field < 0 || field >= m_fields.size())
        return QVariant();
    return m_rows[m_view[row]][field];
}

QVariant DataSet::value(int row, const QString& field) const {
    return value(row, fieldIndex(field));
}

QVariantList DataSet::record(int row) const {
    if (row < 0 || row >= recordCount())
        return QVariantList();
    return m_rows[m_view[row]];
}

qint64 DataSet::rowIdentity(int row) const {
    if (row < 0 || row >= recordCount())
        return -1;
    return m_ids[m_view[row]];
}

int DataSet::rowOfIdentity(qint64 identity) const {
    for (int i = 0; i < recordCount(); ++i)
        if (m_ids[m_view[i]] == identity)
            return i;
    return -1;
}

void DataSet::setCurrentRow(int row) {
    if (m_view.empty()) {
        updateCurrent(-1);
        return;
    }
    updateCurrent(std::clamp(row, 0, recordCount() - 1));
}

void DataSet::first() {
    setCurrentRow(0);
}

bool DataSet::next() {
    if (m_current + 1 >= recordCount())
        return false;
    updateCurrent(m_current + 1);
    return true;
}

QVariant DataSet::currentValue(const QString& field) const {
    return value(m_current, field);
}

bool DataSet::locate(const QString& field, const QVariant& value) {
    const int f = fieldIndex(field);
    if (f < 0)
        return false;
    QVariant key;
    try {
        key = convertInput(f, value);
    } catch (const UserError&) {
        return false; // no row can hold a value the field refuses
    }
    for (int i = 0; i < recordCount(); ++i) {
        if (sameValue(m_rows[m_view[i]][f], key)) {
            updateCurrent(i);
            return true;
        }
    }
    return false;
}

QVariant DataSet::lookup(const QString& keyField, const QVariant& keyValue,
                         const QString& resultField) const {
    const int f = fieldIndex(keyField);
    const int r = fieldIndex(resultField);
    if (f < 0 || r < 0)
        return QVariant();
    QVariant key;
    try {
        key = convertInput(f, keyValue);
    } catch (const UserError&) {
        return QVariant();
    }
    for (const QVariantList& rec : m_rows)
        if (sameValue(rec[f], key))
            return rec[r];
    return QVariant();
}

// ---- field rules -------------------------------------------------------------------------

QVariant DataSet::convertInput(int field, const QVariant& v) const {
    if (isNullInput(v))
        return QVariant();
    const schema::Column& c = *m_columns[field];
    const QString& name = m_fields[field];
    const int type = v.metaType().id();

    if (c.isInteger()) {
        qlonglong x = 0;
        if (type == QMetaType::LongLong) {
            x = v.toLongLong();
        } else if (type == QMetaType::Double || type == QMetaType::Float) {
            const double d = v.toDouble();
            if (!std::isfinite(d) || d != std::floor(d))
                throw DataError(dbtext::fieldNotNumber(name, v.toString()));
            if (d < double(c.minimum) || d > double(c.maximum))
                throw DataError(
                    dbtext::fieldRange(name, QString::number(d, 'f', 0), c.minimum, c.maximum));
            x = qlonglong(d);
        } else if (type == QMetaType::ULongLong || type == QMetaType::ULong) {
            const qulonglong u = v.toULongLong();
            if (u > qulonglong(c.maximum))
                throw DataError(dbtext::fieldRange(name, QString::number(u), c.minimum, c.maximum));
            x = qlonglong(u);
        } else if (isNumberType(type)) {
            x = v.toLongLong();
        } else {
            const QString s = v.toString().trimmed();
            if (s.isEmpty())
                return QVariant();
            bool ok = false;
            x = s.toLongLong(&ok);
            if (!ok)
                x = QLocale().toLongLong(s, &ok);
            if (!ok) {
                // A number too large for 64 bits is still a number, just out of range.
                const bool digits = std::all_of(s.begin(), s.end(), [](QChar ch) {
                    return ch.isDigit() || ch == u'-' || ch == u'+';
                });
                if (digits)
                    throw DataError(dbtext::fieldRange(name, s, c.minimum, c.maximum));
                throw DataError(dbtext::fieldNotNumber(name, s));
            }
        }
        if (x < c.minimum || x > c.maximum)
            throw DataError(dbtext::fieldRange(name, QString::number(x), c.minimum, c.maximum));
        return x;
    }

    switch (c.type) {
    case ColumnType::Double: {
        double d = 0;
        if (isNumberType(type)) {
            d = v.toDouble();
        } else {
            const QString s = v.toString().trimmed();
            if (s.isEmpty())
                return QVariant();
            bool ok = false;
            d = s.toDouble(&ok);
            if (!ok)
                d = QLocale().toDouble(s, &ok);
            if (!ok)
                throw DataError(dbtext::fieldNotNumber(name, s));
        }
        if (!std::isfinite(d))
            throw DataError(dbtext::fieldNotNumber(name, v.toString()));
        return d;
    }
    case ColumnType::DateTime: {
        QDateTime dt;
        if (type == QMetaType::QDateTime) {
            dt = v.toDateTime();
        } else if (type == QMetaType::QDate) {
            dt = v.toDate().startOfDay();
        } else {
            const QString s = v.toString().trimmed();
            if (s.isEmpty())
                return QVariant();
            dt = schema::fromDbDateTime(s);
            if (!dt.isValid())
                dt = QDateTime::fromString(s, QStringLiteral("dd/MM/yyyy HH:mm:ss"));
            if (!dt.isValid())
                dt = QLocale().toDateTime(s, QLocale::ShortFormat);
        }
        if (!dt.isValid())
            throw DataError(dbtext::fieldNotDate(name, v.toString()));
        // The file keeps whole seconds; so does the dataset, so that both agree.
        dt = dt.toLocalTime();
        dt.setTime(QTime(dt.time().hour(), dt.time().minute(), dt.time().second()));
        return dt;
    }
    default: {
        const QString s = v.toString();
        const int limit = c.textLimit();
        if (limit > 0 && s.size() > limit)
            throw DataError(dbtext::fieldTooLong(name, limit));
        return s;
    }
    }
}

void DataSet::checkRecord(const QVariantList& record) const {
    for (int i = 0; i < record.size(); ++i)
        if (m_columns[i]->required && !record[i].isValid())
            throw DataError(dbtext::fieldRequired(m_fields[i]));
}

// ---- writing -----------------------------------------------------------------------------

void DataSet::post(int row, const QVariantMap& changes) {
    requireOpen();
    requireRow(row);
    const int nat = m_view[row];
    const QVariantList& old = m_rows[nat];
    QVariantList rec = old;
    for (auto it = changes.begin(); it != changes.end(); ++it) {
        const int f = fieldIndex(it.key());
        if (f < 0)
            throw DataError(dbtext::unknownField(m_table, it.key()));
        QVariant v = convertInput(f, it.value());
        if (f == m_autoField) {
            if (!sameValue(v, old[f]))
                throw DataError(dbtext::fieldReadOnly(m_fields[f]));
            continue;
        }
        rec[f] = std::move(v);
    }
    if (m_beforePost)
        m_beforePost(rec, row);
    // The hook may have put in values of any type; they pass the same rules.
    for (int i = 0; i < rec.size(); ++i)
        rec[i] = convertInput(i, rec[i]);
    if (m_autoField >= 0 && !sameValue(rec[m_autoField], old[m_autoField]))
        throw DataError(dbtext::fieldReadOnly(m_fields[m_autoField]));
    checkRecord(rec);

    QList<int> changed;
    for (int i = 0; i < rec.size(); ++i)
        if (!sameValue(rec[i], old[i]))
            changed << i;
    if (changed.isEmpty())
        return;

    QStringList sets;
    for (int i : changed)
        sets << schema::quoted(m_fields[i]) + QStringLiteral(" = ?");
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                  .arg(schema::quoted(m_table), sets.join(QStringLiteral(", ")),
                       schema::identityExpression(*m_schema)));
    for (int i : changed)
        q.addBindValue(toDb(i, rec[i]));
    q.addBindValue(m_ids[nat]);
    if (!q.exec())
        throw DataError(dbtext::writeFailed(m_table, q.lastError().text()));
    if (q.numRowsAffected() == 0)
        throw DataError(dbtext::recordGone(m_table));

    m_rows[nat] = std::move(rec);
    placeAfterChange(row, m_naturalField >= 0 && changed.contains(m_naturalField));
}

int DataSet::append(const QVariantMap& values) {
    requireOpen();
    const int n = int(m_fields.size());
    QVariantList rec;
    rec.reserve(n);
    for (int i = 0; i < n; ++i)
        rec.append(QVariant());
    for (auto it = values.begin(); it != values.end(); ++it) {
        const int f = fieldIndex(it.key());
        if (f < 0)
            throw DataError(dbtext::unknownField(m_table, it.key()));
        if (f == m_autoField)
            continue; // the database numbers new rows
        rec[f] = convertInput(f, it.value());
    }
    if (m_beforePost)
        m_beforePost(rec, -1);
    for (int i = 0; i < n; ++i)
        rec[i] = i == m_autoField ? QVariant() : convertInput(i, rec[i]);
    checkRecord(rec);

    QStringList cols;
    QStringList marks;
    for (int i = 0; i < n; ++i) {
        if (i == m_autoField)
            continue;
        cols << schema::quoted(m_fields[i]);
        marks << QStringLiteral("?");
    }
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(schema::quoted(m_table), cols.join(QStringLiteral(", ")),
                       marks.join(QStringLiteral(", "))));
    for (int i = 0; i < n; ++i)
        if (i != m_autoField)
            q.addBindValue(toDb(i, rec[i]));
    if (!q.exec())
        throw DataError(dbtext::writeFailed(m_table, q.lastError().text()));
    const qint64 id = q.lastInsertId().toLongLong();
    if (m_autoField >= 0)
        rec[m_autoField] = qlonglong(id);

    // New rows normally come last in natural order; keys go to their ID's place.
    int nat = int(m_rows.size());
    if (!m_rows.empty() && naturalLess(rec, id, m_rows.back(), m_ids.back())) {
        nat = 0;
        int hi = int(m_rows.size());
        while (nat < hi) {
            const int mid = (nat + hi) / 2;
            if (naturalLess(rec, id, m_rows[mid], m_ids[mid]))
                hi = mid;
            else
                nat = mid + 1;
        }
        insertNatural(nat);
    }
    m_rows.insert(m_rows.begin() + nat, std::move(rec));
    m_ids.insert(m_ids.begin() + nat, id);
    if (!passes(nat))
        return -1;
    const int pos = viewInsertPosition(nat);
    beginInsertRows(QModelIndex(), pos, pos);
    m_view.insert(m_view.begin() + pos, nat);
    endInsertRows();
    if (m_current >= pos)
        ++m_current; // same row, one further down
    updateCurrent(pos);
    return pos;
}

void DataSet::remove(int row) {
    removeRows({row});
}

void DataSet::removeRows(QList<int> rows) {
    requireOpen();
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.isEmpty())
        return;
    for (int r : rows)
        requireRow(r);

    {
        Transaction t(m_db);
        QSqlQuery q(m_db);
        q.prepare(QStringLiteral("DELETE FROM %1 WHERE %2 = ?")
                      .arg(schema::quoted(m_table), schema::identityExpression(*m_schema)));
        for (int r : rows) {
            q.addBindValue(m_ids[m_view[r]]);
            if (!q.exec())
                throw DataError(dbtext::writeFailed(m_table, q.lastError().text()));
        }
        t.commit();
    }

    const qint64 currentId = m_currentId;
    int fallback = m_current;
    for (int r : rows)
        if (r < m_current)
            --fallback;
    std::vector<char> gone(m_rows.size(), 0);
    for (int r : rows)
        gone[m_view[r]] = 1;

    // Contiguous runs from the bottom up, so the rows above keep their numbers.
    for (int i = int(rows.size()) - 1; i >= 0;) {
        int j = i;
        while (j > 0 && rows[j - 1] == rows[j] - 1)
            --j;
        beginRemoveRows(QModelIndex(), rows[j], rows[i]);
        m_view.erase(m_view.begin() + rows[j], m_view.begin() + rows[i] + 1);
        endRemoveRows();
        i = j - 1;
    }

    // Drop the rows and renumber the view's references to the ones that stay.
    std::vector<int> newIndex(m_rows.size(), -1);
    int kept = 0;
    for (int nat = 0; nat < int(m_rows.size()); ++nat) {
        if (gone[nat])
            continue;
        newIndex[nat] = kept;
        if (kept != nat) {
            m_rows[kept] = std::move(m_rows[nat]);
            m_ids[kept] = m_ids[nat];
        }
        ++kept;
    }
    m_rows.resize(kept);
    m_ids.resize(kept);
    for (int& v : m_view)
        v = newIndex[v];

    restoreCurrent(currentId, fallback);
}

void DataSet::removeAll() {
    requireOpen();
    QSqlQuery q(m_db);
    if (!q.exec(QStringLiteral("DELETE FROM %1").arg(schema::quoted(m_table))))
        throw DataError(dbtext::writeFailed(m_table, q.lastError().text()));
    beginResetModel();
    m_rows.clear();
    m_ids.clear();
    m_view.clear();
    endResetModel();
    updateCurrent(-1);
}

// ---- sort and filter ---------------------------------------------------------------------

void DataSet::setSortField(const QString& field, Qt::SortOrder order) {
    const int col = field.isEmpty() ? -1 : fieldIndex(field);
    if (!field.isEmpty() && col < 0)
        throw DataError(dbtext::unknownField(m_table, field));
    if (col < 0)
        order = Qt::AscendingOrder;
    if (col == m_sortColumn && order == m_sortOrder)
        return;
    m_sortColumn = col;
    m_sortField = col >= 0 ? m_fields[col] : QString();
    m_sortOrder = order;
    m_collator.reset();
    if (col >= 0 && m_columns[col]->isText()) {
        // The C locale collates by code point (capitals before all small letters), which
        // no shop wants for names; English rules order letters as people expect.
        QLocale locale;
        if (locale.language() == QLocale::C)
            locale = QLocale(QLocale::English, QLocale::UnitedStates);
        m_collator = std::make_unique<QCollator>(locale);
        m_collator->setCaseSensitivity(Qt::CaseInsensitive);
    }
    if (!m_open)
        return;

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> beforeNat;
    beforeNat.reserve(before.size());
    for (const QModelIndex& i : before)
        beforeNat.push_back(m_view[i.row()]);

    std::sort(m_view.begin(), m_view.end()); // back to natural order, filter kept
    sortView();

    if (!before.isEmpty()) {
        std::vector<int> rowOf(m_rows.size(), -1);
        for (int i = 0; i < int(m_view.size()); ++i)
            rowOf[m_view[i]] = i;
        QModelIndexList after;
        after.reserve(before.size());
        for (int k = 0; k < before.size(); ++k)
            after << index(rowOf[beforeNat[k]], before[k].column());
        changePersistentIndexList(before, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    restoreCurrent(m_currentId, m_current);
}

void DataSet::setFilter(RowFilter filter) {
    m_filter = std::move(filter);
    if (!m_open)
        return;
    const qint64 id = m_currentId;
    beginResetModel();
    rebuildView();
    endResetModel();
    restoreCurrent(id, 0);
}

void DataSet::clearFilter() {
    setFilter(RowFilter());
}

// ---- table model -------------------------------------------------------------------------

void DataSet::setColumnTitles(const QStringList& titles) {
    m_titles = titles;
    if (!m_fields.isEmpty())
        emit headerDataChanged(Qt::Horizontal, 0, int(m_fields.size()) - 1);
}

void DataSet::setReadOnlyFields(const QStringList& fields) {
    m_readOnly.clear();
    for (const QString& f : fields) {
        const int i = fieldIndex(f);
        if (i >= 0)
            m_readOnly << i;
    }
}

int DataSet::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : recordCount();
}

int DataSet::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_fields.size());
}

QVariant DataSet::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();
    return value(index.row(), index.column());
}

bool DataSet::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole ||
        !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    try {
        post(index.row(), {{m_fields[index.column()], value}});
    } catch (const UserError& e) {
        emit postFailed(e.text());
        return false;
    }
    return true;
}

QVariant DataSet::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Vertical)
        return section + 1;
    if (section < 0 || section >= m_fields.size())
        return QVariant();
    if (section < m_titles.size() && !m_titles[section].isEmpty())
        return m_titles[section];
    return m_fields[section];
}

Qt::ItemFlags DataSet::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (!index.isValid())
        return f;
    f |= Qt::ItemNeverHasChildren;
    if (index.column() != m_autoField && !m_readOnly.contains(index.column()))
        f |= Qt::ItemIsEditable;
    return f;
}

void DataSet::sort(int column, Qt::SortOrder order) {
    setSortField(column >= 0 && column < m_fields.size() ? m_fields[column] : QString(), order);
}

} // namespace dm
