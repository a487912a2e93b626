#pragma once

#include "app/errors.h"

#include <QLocale>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include <cstdint>
#include <functional>
#include <optional>

namespace dm {

class Database;
class Notifier;

// The type words of the current language; Products.Type holds one of them.
QString WeightTypeText(); // LangText(Products, Weight, "weight")
QString CountTypeText();  // LangText(Products, Count, "count")

// Prices. A stored price is the locale's currency text of the amount without a symbol
// (CurrencyText); a typed price goes through NormalisedPrice first.

// The locale's currency text of value with an empty symbol, keeping the spacing of the
// locale's pattern (ru_RU: "1 234,50" and a no-break space).
QString CurrencyText(double value, const QLocale& locale = QLocale());
// The text to store for a typed price, or nullopt when it is refused (unreadable, or
// above 9999.99). A text already in the stored form is kept as it is.
std::optional<QString> NormalisedPrice(const QString& typed, const QLocale& locale = QLocale());
// The amount of a stored (or typed) price in hundredths, rounded half to even; nullopt
// when it cannot be read.
std::optional<int64_t> PriceHundredths(const QString& text, const QLocale& locale = QLocale());
// The price text a goods file gives: integer part, decimal separator, two digits.
QString PriceTextFromHundredths(int64_t hundredths, const QLocale& locale = QLocale());

inline constexpr int kMaxPlu = 99999999;
inline constexpr int kMaxBarcodeLength = 13;

// The checks every goods row passes before it is stored, whatever stores it (grid,
// New, Copy, file import). Duplicate counts run on db with bound parameters.
class GoodsChecks {
public:
    explicit GoodsChecks(QSqlDatabase db, QLocale locale = QLocale());

    // record holds the ProductsDataSet fields in order (ID, PLU, RVTName, Type, Price,
    // Barcode); ID is null or 0 for a row not yet stored. Fills an empty Type with the
    // weight word and rewrites Price in its stored form; returns one message per failed
    // check, in the order of the checks (empty: the row may be stored).
    QStringList check(QVariantList& record);

private:
    qint64 count(QSqlQuery& query, const QVariant& a, const QVariant& b);

    QSqlDatabase m_db;
    QLocale m_locale;
    QString m_weight;
    std::optional<QSqlQuery> m_pluQuery;
    std::optional<QSqlQuery> m_barcodeQuery;
};

// A goods row refused by the checks. Its messages have already gone to the notifier;
// text() joins them with line breaks for callers without one.
class GoodsRefused : public DataError {
public:
    explicit GoodsRefused(QStringList messages)
        : DataError(messages.join(u'\n')), m_messages(std::move(messages)) {}
    const QStringList& messages() const { return m_messages; }

private:
    QStringList m_messages;
};

// Makes the checks the before-post hook of db.products(): every message goes to
// notifier, then GoodsRefused refuses the write. While active() is false (pages being
// loaded) rows are stored unchecked. db and notifier must outlive the hook.
void InstallGoodsChecks(Database& db, Notifier& notifier, std::function<bool()> active = {});

} // namespace dm
