#include "editors/ticketeditor.h"

#include "app/errors.h"
#include "db/database.h"

#include <stdexcept>

namespace dm {

namespace {

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

qsizetype nonDigits(const QString& text) {
    qsizetype n = 0;
    for (QChar c : text)
        if (!isAsciiDigit(c))
            ++n;
    return n;
}

// The visible row whose ID is exactly id, or -1. The ticket and operator datasets are
// never filtered, so every row is visible.
int rowWithId(const DataSet& set, int id) {
    for (int row = 0; row < set.recordCount(); ++row) {
        bool ok = false;
        const qlonglong v = set.value(row, 0).toLongLong(&ok);
        if (ok && !set.value(row, 0).isNull() && v == id)
            return row;
    }
    return -1;
}

void storeById(DataSet& set, int id, const QString& field, const QString& text) {
    const int row = rowWithId(set, id);
    if (row >= 0)
        set.post(row, {{field, text}});
    else
        set.append({{QStringLiteral("ID"), id}, {field, text}});
}

void requireRange(int n, int low, int high) {
    if (n < low || n > high)
        throw std::out_of_range("ticket page row out of range");
}

QString present(const QVariant& v) {
    return v.isNull() ? QString() : v.toString();
}

} // namespace

TicketTextLimits TicketLineLimits(int n) {
    requireRange(n, 1, kTicketPageLines);
    if (n == 1)
        return {16, 18};
    if (n == 2)
        return {25, 27};
    return {32, 36};
}

TicketTextLimits OperatorNameLimits() {
    return {32, 36};
}

bool IsOverRedThreshold(const QString& text, const TicketTextLimits& limits) {
    return text.size() > limits.red;
}

bool AcceptsTypedEdit(const QString& before, const QString& after, int typingLimit,
                      bool digitsOnly) {
    if (after == before)
        return true;
    if (after.size() > typingLimit && after.size() >= before.size())
        return false;
    return !digitsOnly || nonDigits(after) <= nonDigits(before);
}

QString DefaultPassword(int row) {
    requireRange(row, 0, kTicketPageOperators);
    return QString::number(row);
}

std::array<QString, kTicketPageOperators> DefaultOperatorPasswords() {
    std::array<QString, kTicketPageOperators> p;
    for (int n = 1; n <= kTicketPageOperators; ++n)
        p[size_t(n - 1)] = DefaultPassword(n);
    return p;
}

PasswordCheck CheckOperatorPasswords(const std::array<QString, kTicketPageOperators>& passwords) {
    PasswordCheck c;
    for (size_t i = 0; i < passwords.size(); ++i) {
        if (passwords[i].isEmpty()) {
            c.colours[i] = FieldColour::Pink;
            c.emptyError = true;
        }
    }
    for (size_t i = 0; i < passwords.size(); ++i)
        for (size_t j = i + 1; j < passwords.size(); ++j)
            if (!passwords[i].isEmpty() && passwords[i] == passwords[j]) {
                c.colours[i] = c.colours[j] = FieldColour::Red;
                c.matchError = true;
            }
    return c;
}

void StoreTicketLine(Database& db, int n, const QString& text) {
    requireRange(n, 1, kTicketPageLines);
    storeById(db.ticket(), n, QStringLiteral("Data"), text);
}

void StoreOperatorName(Database& db, int n, const QString& name) {
    requireRange(n, 1, kTicketPageOperators);
    storeById(db.salesmen(), n, QStringLiteral("Name"), name);
}

void StoreOperatorPassword(Database& db, int n, const QString& password) {
    requireRange(n, 0, kTicketPageOperators);
    storeById(db.salesmen(), n, QStringLiteral("Password"), password);
}

TicketPageTexts LoadTicketPageTexts(Database& db) {
    const QString id = QStringLiteral("ID");
    TicketPageTexts t;
    for (int n = 1; n <= kTicketPageLines; ++n)
        t.lines[size_t(n - 1)] = present(db.ticket().lookup(id, n, QStringLiteral("Data")));
    for (int n = 1; n <= kTicketPageOperators; ++n)
        t.names[size_t(n - 1)] = present(db.salesmen().lookup(id, n, QStringLiteral("Name")));

    // A default that cannot be written (a read-only file, a lock held too long) leaves
    // the stored password showing, so the page never claims a password the database and
    // the scales do not have. After one failure no more writes are tried: each would wait
    // for the same lock or fail the same way.
    const auto password = [&](int row) {
        const QString stored = present(db.salesmen().lookup(id, row, QStringLiteral("Password")));
        if (!stored.isEmpty() || !t.defaultsError.isEmpty())
            return stored;
        const QString p = DefaultPassword(row);
        try {
            StoreOperatorPassword(db, row, p);
        } catch (const UserError& e) {
            t.defaultsError = e.text();
            return stored;
        }
        return p;
    };
    t.adminPassword = password(0);
    for (int n = 1; n <= kTicketPageOperators; ++n)
        t.passwords[size_t(n - 1)] = password(n);
    return t;
}

} // namespace dm
