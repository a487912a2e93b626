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
    void close();
    bool isOpen() const;
    QString path() const { return m_path; }
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

// A transaction that rolls back unless committed.
class Transaction {
public:
    explicit Transaction(QSqlDatabase db); // throws DataError when it cannot begin
    ~Transaction();
    void commit(); // throws DataError
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

private:
    QSqlDatabase m_db;
    bool m_done = false;
};

} // namespace dm
