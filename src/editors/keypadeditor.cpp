#include "editors/keypadeditor.h"

#include "app/errors.h"
#include "app/langtext.h"
#include "db/database.h"
#include "db/datasets.h"
#include "editors/goodschecks.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QSqlError>
#include <QSqlQuery>

#include <cmath>

namespace dm {

namespace {

const QString kID = QStringLiteral("ID");
const QString kPLU = QStringLiteral("PLU");

// Runs work in one transaction; on failure the datasets it touched are read again, as
// their rows changed with each write that the rollback undid.
template <typename Work>
auto inTransaction(Database& db, std::initializer_list<DataSet*> touched, Work work) {
    try {
        Transaction t(db.connection());
        auto result = work();
        t.commit();
        return result;
    } catch (...) {
        for (DataSet* ds : touched) {
            try {
                ds->refresh();
            } catch (const UserError&) {
                // The first error is the one to report.
            }
        }
        throw;
    }
}

int rowWithId(const KeysDataSet& keys, qint64 id) {
    for (int r = 0; r < keys.recordCount(); ++r)
        if (keys.value(r, KeysDataSet::ID).toLongLong() == id)
            return r;
    return -1;
}

} // namespace

int keyRow(const KeysDataSet& keys, int keypad, int key) {
    if (keypad < 1 || key < 1 || key > kKeypadKeys)
        return -1;
    const qint64 id = keyId(keypad, key);
    const qint64 position = qint64(kKeypadKeys) * (keypad - 1) + (key - 1);
    if (position < keys.recordCount()) {
        const QVariant v = keys.value(int(position), KeysDataSet::ID);
        if (v.isValid() && v.toLongLong() == id)
            return int(position);
    }
    return rowWithId(keys, id);
}

KeypadPlus keypadPlus(const KeysDataSet& keys, int keypad) {
    KeypadPlus plus{};
    for (int n = 1; n <= kKeypadKeys; ++n) {
        const int row = keyRow(keys, keypad, n);
        const QVariant v = row < 0 ? QVariant() : keys.value(row, KeysDataSet::PLU);
        const qint64 plu = v.isValid() ? v.toLongLong() : 0;
        plus[n - 1] = plu > 0 ? plu : 0;
    }
    return plus;
}

QString keyCaption(qint64 plu) {
    return plu > 0 ? QString::number(plu) : QString();
}

QString keyNotSetLine(int key) {
    return u'#' + QString::number(key) + u' ' + LangText(u"Keys", u"NotSet", u"Item not set");
}

QString keyNameLine(int key, qint64 plu, const ProductsDataSet& goods) {
    if (plu <= 0)
        return keyNotSetLine(key);
    const QString head = u'#' + QString::number(key) + u' ';
    if (!goods.lookup(kPLU, plu, kPLU).isValid())
        return head + LangText(u"Keys", u"NotFOund", u"Item not found");
    return head + goods.lookup(kPLU, plu, QStringLiteral("RVTName")).toString();
}

QString shownKeypadNameLine(qint64 key1Plu, const ProductsDataSet& goods) {
    if (key1Plu <= 0 || !goods.lookup(kPLU, key1Plu, kPLU).isValid())
        return keyNotSetLine(1);
    return keyNameLine(1, key1Plu, goods);
}

bool setKey(KeysDataSet& keys, int keypad, int key, qint64 plu) {
    const int row = keyRow(keys, keypad, key);
    if (row < 0)
        return false;
    keys.post(row, {{kPLU, plu}});
    return true;
}

namespace {

void clearKeys(KeysDataSet& keys, int keypad) {
    for (int n = 1; n <= kKeypadKeys; ++n)
        setKey(keys, keypad, n, 0);
}

int fillKeys(KeysDataSet& keys, ProductsDataSet& goods, int keypad) {
    const int available = std::min(goods.recordCount(), kKeypadKeys);
    for (int n = 1; n <= available; ++n)
        setKey(keys, keypad, n, goods.value(n - 1, ProductsDataSet::PLU).toLongLong());
    if (available > 0)
        goods.setCurrentRow(std::min(available, goods.recordCount() - 1));
    return available;
}

} // namespace

void clearKeypad(Database& db, int keypad) {
    inTransaction(db, {&db.keys()}, [&] {
        clearKeys(db.keys(), keypad);
        return 0;
    });
}

int fillKeypad(Database& db, int keypad) {
    return inTransaction(db, {&db.keys()},
                         [&] { return fillKeys(db.keys(), db.products(), keypad); });
}

int autofillKeypad(Database& db, int keypad) {
    return inTransaction(db, {&db.keys()}, [&] {
        clearKeys(db.keys(), keypad);
        return fillKeys(db.keys(), db.products(), keypad);
    });
}

int addKeypad(Database& db) {
    return inTransaction(db, {&db.keypads(), &db.keys()}, [&] {
        QSqlQuery q(db.connection());
        if (!q.exec(QStringLiteral("SELECT MAX(\"ID\") FROM \"KeyPads\"")) || !q.next())
            throw DataError(q.lastError().text());
        const qint64 highest = q.value(0).isNull() ? 0 : q.value(0).toLongLong();
        q.finish();
        if (highest >= kMaxKeypad)
            throw UserError(LangText(u"Keys", u"NoMoreKeypads",
                                     u"No more keypads can be added: the last number is 255"));
        const int keypad = int(std::max<qint64>(highest, 0) + 1);
        KeysDataSet& keys = db.keys();
        for (int n = 1; n <= kKeypadKeys; ++n) {
            // Rows left over from a keypad removed outside the program start empty too.
            const int row = rowWithId(keys, keyId(keypad, n));
            if (row >= 0)
                keys.post(row, {{kPLU, 0}});
            else
                keys.append({{kID, keyId(keypad, n)}, {kPLU, 0}});
        }
        // The keypad row last: it becomes the current keypad, whose keys are then there.
        const QString name =
            LangText(u"Misc", u"Keypad", u"Keypad") + u' ' + QString::number(keypad);
        db.keypads().append({{kID, keypad}, {QStringLiteral("Name"), name}});
        return keypad;
    });
}

// ---- drag payload --------------------------------------------------------------------------

QString goodsDragMimeType() {
    return QStringLiteral("application/x-datamanager-goods");
}

QByteArray goodsDragPayload(const DraggedGoods& goods) {
    QJsonObject o;
    o.insert(QStringLiteral("plu"), double(goods.plu));
    o.insert(QStringLiteral("name"), goods.name.isValid() && !goods.name.isNull()
                                         ? QJsonValue(goods.name.toString())
                                         : QJsonValue(QJsonValue::Null));
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

std::optional<DraggedGoods> readGoodsDragPayload(const QByteArray& bytes) {
    // A PLU and a name of at most a few dozen characters; anything far larger is not ours.
    if (bytes.isEmpty() || bytes.size() > 4096)
        return std::nullopt;
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    const QJsonObject o = doc.object();
    const QJsonValue plu = o.value(QStringLiteral("plu"));
    const QJsonValue name = o.value(QStringLiteral("name"));
    if (!plu.isDouble())
        return std::nullopt;
    const double p = plu.toDouble();
    if (!std::isfinite(p) || p != std::floor(p) || p < 0 || p > double(kMaxPlu))
        return std::nullopt;
    DraggedGoods g;
    g.plu = qint64(p);
    if (name.isString())
        g.name = name.toString();
    else if (!name.isNull())
        return std::nullopt;
    return g;
}

} // namespace dm
