#pragma once

#include <QString>

#include <array>

namespace dm {

class Database;

// The ticket page edits ticket lines 1 to 8 (five headers, three information lines),
// the names and passwords of operators 1 to 8, and the administrator password, which
// lives in operator row 0. Every change is stored at once.

inline constexpr int kTicketPageLines = 8;
inline constexpr int kTicketPageOperators = 8;
inline constexpr int kPasswordTypingLimit = 6;

// How long a text field may be typed, and from which length it is marked red.
struct TicketTextLimits {
    int typing;
    int red;
};
// Ticket line n (1 to 8): header 1 16/18, header 2 25/27, the others 32/36.
TicketTextLimits TicketLineLimits(int n);
TicketTextLimits OperatorNameLimits(); // 32/36

// The red mark is a warning only: the text is stored either way.
bool IsOverRedThreshold(const QString& text, const TicketTextLimits& limits);

// Whether a user's edit that turns before into after is taken. A text may always get
// shorter, so one loaded longer than the typing limit can be cut down but never grows;
// otherwise it must stay within the limit. A digits-only field takes no character other
// than 0 to 9, typed or pasted (characters that were already there may stay).
bool AcceptsTypedEdit(const QString& before, const QString& after, int typingLimit,
                      bool digitsOnly);

// The default passwords: one digit each, all nine different. Row 0 (the administrator)
// gets "0", operator n gets the digit n.
QString DefaultPassword(int row);
std::array<QString, kTicketPageOperators> DefaultOperatorPasswords();

// The warnings of the eight operator passwords. The administrator takes no part.
enum class FieldColour { Normal, Red, Pink };
struct PasswordCheck {
    std::array<FieldColour, kTicketPageOperators> colours{};
    bool emptyError = false; // a password is empty (its field pink)
    bool matchError = false; // two non-empty passwords are equal (both fields red)
};
PasswordCheck CheckOperatorPasswords(const std::array<QString, kTicketPageOperators>& passwords);

// Store operations. Each finds its row by ID (exact match) and posts the field; a row
// that is missing is created with that ID, so a store never lands on another row.
// Failures throw DataError and leave the stored rows as they were.
void StoreTicketLine(Database& db, int n, const QString& text);           // n = 1..8
void StoreOperatorName(Database& db, int n, const QString& name);         // n = 1..8
void StoreOperatorPassword(Database& db, int n, const QString& password); // n = 0..8

// What the ticket page shows after loading.
struct TicketPageTexts {
    std::array<QString, kTicketPageLines> lines;
    std::array<QString, kTicketPageOperators> names;
    std::array<QString, kTicketPageOperators> passwords;
    QString adminPassword;
    // Why a default password could not be stored; empty when all went well.
    QString defaultsError;
};

// Reads the page from the database. A password that is missing, null or empty is
// replaced by its row's default, and the default is stored; nothing else is written.
// When storing a default fails, the texts are still read: that password stays as stored
// (empty), no further default is written, and defaultsError says why.
TicketPageTexts LoadTicketPageTexts(Database& db);

} // namespace dm
