#include "db/database.h"

#include "app/errors.h"
#include "db/dbtexts.h"
#include "db/sqlitefile.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <atomic>

namespace dm {

QString uniqueConnectionName(const QString& purpose) {
    static std::atomic<int> counter{0};
    return QStringLiteral("dm-%1-%2").arg(purpose).arg(++counter);
}

Database::Database()
    : m_products(std::make_unique<ProductsDataSet>()), m_ticket(std::make_unique<TicketDataSet>()),
      m_salesmen(std::make_unique<SalesmenDataSet>()),
      m_keypads(std::make_unique<KeypadsDataSet>()), m_keys(std::make_unique<KeysDataSet>()),
      m_scales(std::make_unique<ScalesDataSet>()), m_totals(std::make_unique<TotalsDataSet>()) {}

Database::~Database() {
    close();
}

void Database::open(const QString& path) {
    close();
    const QString name = uniqueConnectionName(QStringLiteral("db"));
    QSqlDatabase db = sqlite::openConnection(name, path);
    DataSet* const all[] = {m_products.get(), m_ticket.get(), m_keypads.get(), m_keys.get(),
                            m_salesmen.get(), m_scales.get(), m_totals.get()};
    try {
        // Refuse a file that is a database, but not one of ours, before reading anything.
        const QStringList present = db.tables();
        for (const DataSet* ds : all) {
            if (!present.contains(ds->table(), Qt::CaseInsensitive))
                throw DataError(dbtext::tableMissing(path, ds->table()));
            const QSqlRecord rec = db.record(ds->table());
            for (const QString& f : ds->fields())
                if (rec.indexOf(f) < 0)
                    throw DataError(dbtext::columnMissing(path, ds->table(), f));
        }
        m_products->open(db);
        m_ticket->open(db);
        m_salesmen->open(db);
        m_keypads->open(db);
        m_keys->open(db);
        m_scales->open(db);
        m_totals->open(db);
    } catch (...) {
        for (DataSet* ds : all)
            ds->close();
        db = QSqlDatabase();
        sqlite::removeConnection(name);
        throw;
    }
    m_path = path;
    m_connectionName = name;
}

void Database::close() {
    m_products->close();
    m_ticket->close();
    m_salesmen->close();
    m_keypads->close();
    m_keys->close();
    m_scales->close();
    m_totals->close();
    if (!m_connectionName.isEmpty())
        sqlite::removeConnection(m_connectionName);
    m_connectionName.clear();
    m_path.clear();
}

bool Database::isOpen() const {
    return !m_connectionName.isEmpty();
}

QSqlDatabase Database::connection() const {
    if (m_connectionName.isEmpty())
        return QSqlDatabase();
    return QSqlDatabase::database(m_connectionName, false);
}

// ---- Transaction ---------------------------------------------------------------------------

namespace {

// Open transactions per connection (connections live on one thread each).
int& depth(const QSqlDatabase& db) {
    thread_local QHash<QString, int> depths;
    return depths[db.connectionName()];
}

bool execText(QSqlDatabase& db, const QString& sql, QString* error) {
    QSqlQuery q(db);
    if (q.exec(sql))
        return true;
    if (error)
        *error = q.lastError().text();
    return false;
}

} // namespace

Transaction::Transaction(QSqlDatabase db) : m_db(std::move(db)) {
    int& d = depth(m_db);
    if (d == 0) {
        if (!m_db.transaction())
            throw DataError(dbtext::transactionFailed(m_db.lastError().text()));
    } else {
        m_savepoint = QStringLiteral("dm_savepoint_%1").arg(d);
        QString error;
        if (!execText(m_db, QStringLiteral("SAVEPOINT ") + m_savepoint, &error))
            throw DataError(dbtext::transactionFailed(error));
    }
    ++d;
}

Transaction::~Transaction() {
    if (m_done)
        return;
    if (m_savepoint.isEmpty()) {
        m_db.rollback();
    } else {
        execText(m_db, QStringLiteral("ROLLBACK TO SAVEPOINT ") + m_savepoint, nullptr);
        execText(m_db, QStringLiteral("RELEASE SAVEPOINT ") + m_savepoint, nullptr);
    }
    --depth(m_db);
}

void Transaction::commit() {
    if (m_done)
        return;
    if (m_savepoint.isEmpty()) {
        if (!m_db.commit())
            throw DataError(dbtext::transactionFailed(m_db.lastError().text()));
    } else {
        QString error;
        if (!execText(m_db, QStringLiteral("RELEASE SAVEPOINT ") + m_savepoint, &error))
            throw DataError(dbtext::transactionFailed(error));
    }
    m_done = true;
    --depth(m_db);
}

} // namespace dm
