#pragma once

#include "db/datasets.h"

#include <QSqlDatabase>
#include <QString>

#include <memory>

namespace dm {

// The one open database file with its seven datasets.
class Database {
public:
    Database();
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Connects to the file and opens the seven datasets in order (goods, ticket lines,
    // operators, keypads, keys, scales, totals). Throws DataError with the data layer's
    // text; a file that is not a database of the program is refused, never created.
    void open(const QString& path);
    void close(); // closes the datasets and the connection; the file is then free
    bool isOpen() const;
    QString path() const { return m_path; }
    // The connection for queries of one's own (counts, bulk writes in a Transaction).
    // Do not keep the copy past close().
    QSqlDatabase connection() const;

    ProductsDataSet& products() { return *m_products; }
    TicketDataSet& ticket() { return *m_ticket; }
    SalesmenDataSet& salesmen() { return *m_salesmen; }
    KeypadsDataSet& keypads() { return *m_keypads; }
    KeysDataSet& keys() { return *m_keys; }
    ScalesDataSet& scales() { return *m_scales; }
    TotalsDataSet& totals() { return *m_totals; }

private:
    QString m_path;
    QString m_connectionName;
    std::unique_ptr<ProductsDataSet> m_products;
    std::unique_ptr<TicketDataSet> m_ticket;
    std::unique_ptr<SalesmenDataSet> m_salesmen;
    std::unique_ptr<KeypadsDataSet> m_keypads;
    std::unique_ptr<KeysDataSet> m_keys;
    std::unique_ptr<ScalesDataSet> m_scales;
    std::unique_ptr<TotalsDataSet> m_totals;
};

// A transaction that rolls back unless committed. Transactions nest: one opened while
// another is open on the same connection is a savepoint inside it, so a dataset's own
// multi-row write (removeRows) can run inside an importer's transaction. Begin every
// transaction through this class, not through QSqlDatabase::transaction().
// Writes through a dataset change its rows at once; when a transaction that held such
// writes rolls back, refresh() the dataset.
class Transaction {
public:
    explicit Transaction(QSqlDatabase db); // throws DataError when it cannot begin
    ~Transaction();
    void commit(); // throws DataError; the destructor then rolls back
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

private:
    QSqlDatabase m_db;
    bool m_done = false;
    QString m_savepoint; // empty for the outermost transaction
};

// A connection name not used before in this process ("dm-<purpose>-<n>").
QString uniqueConnectionName(const QString& purpose);

} // namespace dm
