#include "scalefiles/scalefileio.h"

#include "app/errors.h"
#include "app/langtext.h"
#include "app/notifier.h"
#include "db/database.h"
#include "db/dbtexts.h"
#include "db/schema.h"
#include "editors/goodschecks.h"
#include "scalefiles/goodsfile.h"
#include "scalefiles/keypadfile.h"
#include "scalefiles/operatorsfile.h"
#include "scalefiles/scalefilenames.h"
#include "scalefiles/ticketfile.h"
#include "scalefiles/totalsfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>

#include <limits>
#include <optional>

namespace dm {

namespace {

QByteArray readWholeFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw FileError(LangText(u"Text", u"CannotReadFile", u"Cannot read the file") +
                        QStringLiteral(": ") + QDir::toNativeSeparators(path));
    return f.readAll();
}

// The old file stays until the new one is complete.
void writeWholeFile(const QString& path, const QByteArray& data) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size() || !f.commit())
        throw FileError(LangText(u"Text", u"CannotWriteFile", u"Cannot write the file") +
                        QStringLiteral(": ") + QDir::toNativeSeparators(path) +
                        QStringLiteral(" (") + f.errorString() + u')');
}

// Texts from a file are cut to what the field holds, as the field would on entry.
QString fitted(const QString& text, const char16_t* table, const char16_t* column) {
    const schema::Table* t = schema::table(table);
    const schema::Column* c = t ? t->column(column) : nullptr;
    const int limit = c ? c->textLimit() : 0;
    return limit > 0 && text.size() > limit ? text.left(limit) : text;
}

class Sql {
public:
    Sql(const QSqlDatabase& db, const QString& table, const QString& text)
        : m_query(db), m_table(table) {
        if (!m_query.prepare(text))
            throw DataError(dbtext::writeFailed(m_table, m_query.lastError().text()));
    }
    Sql& bind(const QVariant& v) {
        m_query.addBindValue(v);
        return *this;
    }
    // Runs the statement; returns the rows it changed.
    int run() {
        if (!m_query.exec())
            throw DataError(dbtext::writeFailed(m_table, m_query.lastError().text()));
        return m_query.numRowsAffected();
    }
    // Runs a query; the first column of its first row, null when there is none.
    QVariant scalar() {
        if (!m_query.exec())
            throw DataError(dbtext::readFailed(m_table, m_query.lastError().text()));
        const QVariant v = m_query.next() ? m_query.value(0) : QVariant();
        m_query.finish();
        return v;
    }

private:
    QSqlQuery m_query;
    QString m_table;
};

std::optional<int> keypadByName(const QSqlDatabase& db, const QString& name) {
    const QVariant id = Sql(db, QStringLiteral("KeyPads"),
                            QStringLiteral("SELECT ID FROM KeyPads WHERE Name = ? ORDER BY ID"))
                            .bind(name)
                            .scalar();
    if (id.isNull())
        return std::nullopt;
    return id.toInt();
}

int firstKeypad(const QSqlDatabase& db) {
    const QVariant id =
        Sql(db, QStringLiteral("KeyPads"), QStringLiteral("SELECT MIN(ID) FROM KeyPads")).scalar();
    if (id.isNull())
        throw DataError(LangText(u"Text", u"NoKeypads", u"There is no keypad in the database"));
    return id.toInt();
}

QString scaleSetting(const QSqlDatabase& db, const char16_t* column, const QString& address) {
    return Sql(db, QStringLiteral("ScalesSettings"),
               QStringLiteral("SELECT %1 FROM ScalesSettings WHERE IP = ? ORDER BY ID")
                   .arg(schema::quoted(column)))
        .bind(address)
        .scalar()
        .toString();
}

} // namespace

ScaleFiles::ScaleFiles(Database& db, QString folder, const ScaleCodePage& page)
    : m_db(db), m_folder(std::move(folder)), m_page(page) {}

QString ScaleFiles::pathToRead(int kind) const {
    const auto k = static_cast<ScaleFileKind>(kind);
    const QString path = FindScaleFile(m_folder, k);
    if (path.isEmpty())
        throw FileError(
            LangText(u"Text", u"FileNotFound", u"File not found") + QStringLiteral(": ") +
            QDir::toNativeSeparators(QDir(m_folder).filePath(CanonicalScaleFileName(k))));
    return path;
}

// ---- writers -----------------------------------------------------------------------------

QString ScaleFiles::WriteGoodsFile() {
    const QString name = CanonicalScaleFileName(ScaleFileKind::Goods);
    ProductsDataSet& goods = m_db.products();
    const QString weight = WeightTypeText();
    const QLocale locale;
    QByteArray out;
    out.reserve(qsizetype(goods.recordCount()) * 64);
    for (int row = 0; row < goods.recordCount(); ++row) {
        GoodsFileItem item;
        item.plu = static_cast<int32_t>(goods.value(row, ProductsDataSet::PLU).toLongLong());
        item.byCount = goods.value(row, ProductsDataSet::Type).toString() != weight;
        const QString price = goods.value(row, ProductsDataSet::Price).toString();
        const std::optional<int64_t> hundredths = PriceHundredths(price, locale);
        if (!hundredths || *hundredths > std::numeric_limits<int32_t>::max())
            throw DataError(LangText(u"Text", u"IncorrectPrice", u"Incorrect price") +
                            QStringLiteral(": ") + price + QStringLiteral(" (PLU ") +
                            QString::number(item.plu) + u')');
        item.priceHundredths = static_cast<int32_t>(*hundredths);
        item.name = goods.value(row, ProductsDataSet::RVTName).toString();
        item.barcode = goods.value(row, ProductsDataSet::Barcode).toString();
        AppendGoodsRecord(out, item, m_page, name);
    }
    const QString path = ScaleFileForWriting(m_folder, ScaleFileKind::Goods);
    writeWholeFile(path, out);
    return path;
}

QString ScaleFiles::WriteTicketFile() {
    TicketDataSet& ticket = m_db.ticket();
    QStringList lines;
    for (int id = 1; id <= kTicketLineCount; ++id)
        lines.append(ticket.lookup(QStringLiteral("ID"), id, QStringLiteral("Data")).toString());
    const QByteArray out =
        EncodeTicketFile(lines, m_page, CanonicalScaleFileName(ScaleFileKind::Ticket));
    const QString path = ScaleFileForWriting(m_folder, ScaleFileKind::Ticket);
    writeWholeFile(path, out);
    return path;
}

QString ScaleFiles::WriteOperatorsFile() {
    SalesmenDataSet& salesmen = m_db.salesmen();
    std::vector<OperatorFileItem> items;
    for (int row = 0; row < salesmen.recordCount(); ++row) {
        OperatorFileItem item;
        item.key = static_cast<uint32_t>(row);
        item.password = salesmen.value(row, SalesmenDataSet::Password).toString();
        if (item.password.isEmpty())
            item.password = QString::number(row);
        item.name = salesmen.value(row, SalesmenDataSet::Name).toString();
        items.push_back(std::move(item));
    }
    const QByteArray out =
        EncodeOperatorsFile(items, m_page, CanonicalScaleFileName(ScaleFileKind::Operators));
    const QString path = ScaleFileForWriting(m_folder, ScaleFileKind::Operators);
    writeWholeFile(path, out);
    return path;
}

QString ScaleFiles::WriteKeypadFile() {
    KeypadsDataSet& keypads = m_db.keypads();
    if (keypads.isEmpty())
        throw DataError(LangText(u"Text", u"NoKeypads", u"There is no keypad in the database"));
    const int row = keypads.currentRow() >= 0 ? keypads.currentRow() : 0;
    const qint64 keypad = keypads.value(row, KeypadsDataSet::ID).toLongLong();
    // Keys are found by their ID, so only this keypad's rows are ever read.
    std::array<int32_t, kKeypadKeyCount> plus{};
    KeysDataSet& keys = m_db.keys();
    for (int r = 0; r < keys.recordCount(); ++r) {
        const qint64 key = keys.value(r, KeysDataSet::ID).toLongLong() - keypad * 100;
        if (key >= 1 && key <= kKeypadKeyCount) {
            const qint64 plu = keys.value(r, KeysDataSet::PLU).toLongLong();
            plus[size_t(key - 1)] = plu >= 1 ? static_cast<int32_t>(plu) : 0;
        }
    }
    const QByteArray out = EncodeKeypadFile(plus);
    const QString path = ScaleFileForWriting(m_folder, ScaleFileKind::Keypad);
    writeWholeFile(path, out);
    return path;
}

// ---- importers -----------------------------------------------------------------------------

GoodsImportResult ScaleFiles::ReadGoodsFile(Notifier& notifier, GoodsReplace replace) {
    const QString path = pathToRead(int(ScaleFileKind::Goods));
    // The whole file is decoded before the database is touched.
    const std::vector<GoodsFileItem> items =
        DecodeGoodsFile(readWholeFile(path), m_page, QFileInfo(path).fileName());

    const QSqlDatabase db = m_db.connection();
    const QString table = QStringLiteral("Products");
    ProductsDataSet& goods = m_db.products();
    GoodsImportResult result;
    {
        Transaction transaction(db);
        if (replace == GoodsReplace::AllGoods || !goods.isFiltered()) {
            Sql(db, table, QStringLiteral("DELETE FROM Products")).run();
        } else {
            Sql remove(db, table, QStringLiteral("DELETE FROM Products WHERE ID = ?"));
            for (int row = 0; row < goods.recordCount(); ++row)
                remove.bind(goods.rowIdentity(row)).run();
        }

        const QString weight = WeightTypeText();
        const QString count = CountTypeText();
        const QLocale locale;
        GoodsChecks checks(db, locale);
        Sql insert(db, table,
                   QStringLiteral("INSERT INTO Products (PLU, RVTName, \"Type\", Price, Barcode) "
                                  "VALUES (?, ?, ?, ?, ?)"));
        for (const GoodsFileItem& item : items) {
            QVariantList record{
                QVariant(),
                qlonglong(item.plu),
                fitted(item.name, u"Products", u"RVTName"),
                item.byCount ? count : weight,
                PriceTextFromHundredths(item.priceHundredths, locale),
                item.barcodeFlag && !item.barcode.isEmpty() ? QVariant(item.barcode) : QVariant(),
            };
            const QStringList failed = checks.check(record);
            if (!failed.isEmpty()) {
                for (const QString& message : failed)
                    notifier.notify(message);
                ++result.refused;
                continue;
            }
            for (int f = ProductsDataSet::PLU; f <= ProductsDataSet::Barcode; ++f)
                insert.bind(record[f]);
            insert.run();
            ++result.stored;
        }
        transaction.commit();
    }
    goods.refresh();
    return result;
}

void ScaleFiles::ReadTicketFile() {
    const QString path = pathToRead(int(ScaleFileKind::Ticket));
    const std::optional<QStringList> lines =
        DecodeTicketFile(readWholeFile(path), m_page, QFileInfo(path).fileName());
    if (!lines)
        return;
    const QSqlDatabase db = m_db.connection();
    {
        Transaction transaction(db);
        Sql update(db, QStringLiteral("TicketLines"),
                   QStringLiteral("UPDATE TicketLines SET Data = ? WHERE ID = ?"));
        for (int i = 0; i < kTicketLineCount; ++i)
            update.bind(fitted(lines->at(i), u"TicketLines", u"Data")).bind(i + 1).run();
        transaction.commit();
    }
    m_db.ticket().refresh();
}

int ScaleFiles::ReadOperatorsFile() {
    const QString path = pathToRead(int(ScaleFileKind::Operators));
    const std::vector<OperatorFileItem> items =
        DecodeOperatorsFile(readWholeFile(path), m_page, QFileInfo(path).fileName());
    const QSqlDatabase db = m_db.connection();
    int updated = 0;
    {
        Transaction transaction(db);
        Sql update(db, QStringLiteral("Salesmen"),
                   QStringLiteral("UPDATE Salesmen SET Password = ?, Name = ? WHERE ID = ?"));
        for (const OperatorFileItem& item : items)
            updated += update.bind(fitted(item.password, u"Salesmen", u"Password"))
                           .bind(fitted(item.name, u"Salesmen", u"Name"))
                           .bind(qlonglong(item.key))
                           .run() > 0;
        transaction.commit();
    }
    m_db.salesmen().refresh();
    return updated;
}

int ScaleFiles::ReadKeypadFile(const QString& source, const QString& cardKeypad) {
    const QString path = pathToRead(int(ScaleFileKind::Keypad));
    const std::vector<int32_t> plus =
        DecodeKeypadFile(readWholeFile(path), QFileInfo(path).fileName());
    const QSqlDatabase db = m_db.connection();

    int keypad = 0;
    if (source == MemoryCardSource()) {
        if (cardKeypad.isEmpty()) {
            // The card dialog makes its chosen keypad the current row of the list.
            const KeypadsDataSet& keypads = m_db.keypads();
            keypad = keypads.currentRow() >= 0
                         ? keypads.value(keypads.currentRow(), KeypadsDataSet::ID).toInt()
                         : firstKeypad(db);
        } else if (const auto id = keypadByName(db, cardKeypad)) {
            keypad = *id;
        } else {
            throw DataError(LangText(u"Text", u"KeypadNotFound", u"Keypad not found") +
                            QStringLiteral(": ") + cardKeypad);
        }
    } else {
        const QString name = scaleSetting(db, u"Keypad", source);
        const auto id = name.isEmpty() ? std::nullopt : keypadByName(db, name);
        keypad = id ? *id : firstKeypad(db);
    }

    {
        Transaction transaction(db);
        Sql update(db, QStringLiteral("Keys"),
                   QStringLiteral("UPDATE Keys SET PLU = ? WHERE ID = ?"));
        Sql insert(db, QStringLiteral("Keys"),
                   QStringLiteral("INSERT INTO Keys (ID, PLU) VALUES (?, ?)"));
        for (size_t i = 0; i < plus.size(); ++i) {
            const qlonglong id = qlonglong(keypad) * 100 + qlonglong(i) + 1;
            // A keypad short of its 33 rows gets the missing ones rather than losing keys.
            if (update.bind(plus[i]).bind(id).run() == 0)
                insert.bind(id).bind(plus[i]).run();
        }
        transaction.commit();
    }
    m_db.keys().refresh();
    return keypad;
}

int ScaleFiles::ImportTotalsFile(const QString& source, const QString& givenPath,
                                 const QDateTime& readTime) {
    const QString path = givenPath.isEmpty() ? pathToRead(int(ScaleFileKind::Totals)) : givenPath;
    const std::vector<TotalsFileRecord> records =
        DecodeTotalsFile(readWholeFile(path), QFileInfo(path).fileName());
    const QSqlDatabase db = m_db.connection();
    const QString table = QStringLiteral("Totals");
    const QVariant read =
        schema::toDbDateTime(readTime.isValid() ? readTime : QDateTime::currentDateTime());
    const QString weight = WeightTypeText();
    const QString count = CountTypeText();
    {
        Transaction transaction(db);
        const QString scale =
            source == MemoryCardSource() ? MemoryCardSource() : scaleSetting(db, u"Name", source);
        const QString scales = fitted(scale, u"Totals", u"Scales");
        const QString ip = fitted(source, u"Totals", u"IP");
        Sql name(db, QStringLiteral("Products"),
                 QStringLiteral("SELECT RVTName FROM Products WHERE PLU = ? LIMIT 1"));
        Sql insert(db, table,
                   QStringLiteral("INSERT INTO Totals (Scales, IP, PLU, Name, \"Type\", DayWeight, "
                                  "DayNum, MonthWeight, MonthNum, \"Last\", \"Read\") "
                                  "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        for (const TotalsFileRecord& r : records) {
            const double scaleBy = r.byCount ? 1.0 : 1000.0; // grams to kilograms
            insert.bind(scales)
                .bind(ip)
                .bind(r.plu)
                .bind(fitted(name.bind(r.plu).scalar().toString(), u"Totals", u"Name"))
                .bind(r.byCount ? count : weight)
                .bind(double(r.dayQuantity) / scaleBy)
                .bind(int(r.dayTransactions))
                .bind(double(r.monthQuantity) / scaleBy)
                .bind(int(r.monthTransactions))
                .bind(r.last.toString(schema::dateTimeFormat())) // the scale's own clock
                .bind(read)
                .run();
        }
        transaction.commit();
    }
    m_db.totals().refresh();
    return int(records.size());
}

} // namespace dm
