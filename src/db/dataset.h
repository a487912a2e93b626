#pragma once

#include <QAbstractTableModel>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariant>

#include <QCollator>

#include <functional>
#include <memory>
#include <vector>

namespace dm {

namespace schema {
struct Column;
struct Table;
} // namespace schema

// A dataset: the rows of one table as the program sees them, with a current row, an
// optional sort by one field and an optional row filter. It holds its rows in memory
// (read once on open) and writes every change to the database at once; a refused or
// failed write throws DataError and leaves both the database and the rows as they were.
// As a table model it shows one column per field; titles come from setColumnTitles().
class DataSet : public QAbstractTableModel {
    Q_OBJECT
public:
    // A row predicate over a record's values (in field order); true keeps the row.
    using RowFilter = std::function<bool(const QVariantList& record)>;
    // Runs before every post and append with the record's new values (in field order);
    // it may normalise them, or throw DataError/UserError to refuse the write.
    // row is the visible row being edited, or -1 for a new record.
    using BeforePost = std::function<void(QVariantList& record, int row)>;

    DataSet(QString table, QStringList fields, QObject* parent = nullptr);
    ~DataSet() override;

    const QString& table() const { return m_table; }
    const QStringList& fields() const { return m_fields; }
    int fieldIndex(const QString& field) const; // -1 when unknown (case-insensitive)

    void open(const QSqlDatabase& db); // reads every row in natural order; throws DataError
    void close();
    bool isOpen() const { return m_open; }
    void refresh(); // re-reads the table, keeps sort and filter, keeps the current row by key

    // The visible rows: after the filter, in sort order.
    int recordCount() const;
    bool isEmpty() const { return recordCount() == 0; }
    QVariant value(int row, int field) const;
    QVariant value(int row, const QString& field) const;
    QVariantList record(int row) const;
    // The row's identity in its table (the auto-number ID, or the engine's row number);
    // -1 for no row. It stays the same across sort, filter and refresh.
    qint64 rowIdentity(int row) const;
    int rowOfIdentity(qint64 identity) const; // visible row, -1 when hidden or gone

    // Current row (-1 when there is no visible row).
    int currentRow() const { return m_current; }
    void setCurrentRow(int row); // emits currentRowChanged when it changes
    void first();
    bool next(); // false at the end
    QVariant currentValue(const QString& field) const;

    // Moves the current row to the first visible row whose field equals value.
    bool locate(const QString& field, const QVariant& value);
    // The result field of the first row (visible or not) whose key field equals keyValue;
    // a null QVariant when none matches.
    QVariant lookup(const QString& keyField, const QVariant& keyValue,
                    const QString& resultField) const;

    // Edit and post: changes by field name, written to the database at once. Values are
    // converted to the field's type (text to number, ISO text to date); a value the field
    // does not accept throws DataError with the field rule's message, leaving the row as it
    // was. After a post the row takes its place under the current filter and sort.
    void post(int row, const QVariantMap& changes);
    // Appends a record (fields by name, the rest empty); returns its visible row, or -1
    // when the filter hides it. Auto-number IDs are filled in from the database.
    int append(const QVariantMap& values);
    void remove(int row);
    void removeRows(QList<int> rows); // all in one transaction
    void removeAll();                 // every row of the table, visible or not

    // Sort by one field, ascending or descending; an empty name restores natural order.
    void setSortField(const QString& field, Qt::SortOrder order = Qt::AscendingOrder);
    QString sortField() const { return m_sortField; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

    void setFilter(RowFilter filter); // replaces the current filter
    void clearFilter();
    bool isFiltered() const { return static_cast<bool>(m_filter); }

    void setBeforePost(BeforePost hook) { m_beforePost = std::move(hook); }

    // Table model. sort() sets the sort field of the column (for views with sorting on).
    void setColumnTitles(const QStringList& titles);
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    void setReadOnlyFields(const QStringList& fields);

signals:
    void currentRowChanged(int row); // the after-scroll event
    // A write refused by the data layer or the before-post hook during setData().
    void postFailed(const QString& message);

protected:
    QSqlDatabase database() const { return m_db; }
    // Natural order by this integer field (then by identity) instead of by identity alone.
    void setNaturalOrderField(const QString& field);

private:
    struct Loaded;
    Loaded readAll() const;
    void rebuildView();
    void sortView();
    bool passes(int nat) const;
    bool viewLess(int natA, int natB) const;
    int compareField(int field, const QVariant& a, const QVariant& b) const;
    bool naturalLess(const QVariantList& a, qint64 idA, const QVariantList& b, qint64 idB) const;
    int viewInsertPosition(int nat) const;
    void insertNatural(int nat);
    void eraseNatural(int nat);
    void placeAfterChange(int viewRow, bool naturalMoved);
    void updateCurrent(int row);
    void restoreCurrent(qint64 identity, int fallbackRow);
    QVariant convertInput(int field, const QVariant& value) const;
    QVariant fromDb(int field, const QVariant& value) const;
    QVariant toDb(int field, const QVariant& value) const;
    void checkRecord(const QVariantList& record) const;
    void requireOpen() const;
    void requireRow(int row) const;

    const schema::Table* m_schema = nullptr;
    std::vector<const schema::Column*> m_columns; // per field
    int m_autoField = -1;                         // the auto-number field, if it is one
    int m_naturalField = -1;
    QString m_selectSql;

    QString m_table;
    QStringList m_fields;
    QSqlDatabase m_db;
    bool m_open = false;
    std::vector<QVariantList> m_rows; // natural order
    std::vector<qint64> m_ids;        // identity of each row of m_rows
    std::vector<int> m_view;          // visible rows as indexes into m_rows
    int m_current = -1;
    qint64 m_currentId = -1;
    QString m_sortField;
    int m_sortColumn = -1;
    std::unique_ptr<QCollator> m_collator; // text order while sorted by a text field
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    RowFilter m_filter;
    BeforePost m_beforePost;
    QStringList m_titles;
    QList<int> m_readOnly;
};

// Puts a dataset back on the row that was current when it was made (by the row's key),
// however the code between moved it; nothing when the row is gone or hidden.
class CurrentRowKeeper {
public:
    explicit CurrentRowKeeper(DataSet& data)
        : m_data(data), m_identity(data.rowIdentity(data.currentRow())) {}
    ~CurrentRowKeeper() {
        if (!m_data.isOpen() || m_identity < 0)
            return;
        const int row = m_data.rowOfIdentity(m_identity);
        if (row >= 0)
            m_data.setCurrentRow(row);
    }
    CurrentRowKeeper(const CurrentRowKeeper&) = delete;
    CurrentRowKeeper& operator=(const CurrentRowKeeper&) = delete;

private:
    DataSet& m_data;
    qint64 m_identity;
};

} // namespace dm
