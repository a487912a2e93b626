#pragma once

#include <QString>
#include <QStringList>

namespace dm {

class Database;
class Notifier;
class TransferSink;
class TransferPauses;

// The file names a scale looks for at the root of its memory card.
enum class CardFile { Goods, Ticket, Operators, Keypad, Totals };
QString
CardFileName(CardFile file); // products.dat, RVT.dat, salesmen.dat, keyboard.dat, summary.dat

// Copies the goods, ticket, operators and keypad files of exportFolder to cardRoot, in
// that order, stopping at the first failure. Returns 0 when all four were copied,
// otherwise the number (1 to 4) of the copy that failed. Each copy replaces the card's
// file only once it is complete, so a failed copy leaves the old file in place.
int CopyFilesToCard(const QString& exportFolder, const QString& cardRoot);

// The exchange of the scale files with a memory card mounted at a given root: the
// messages go to the sink, the pauses that keep them readable to pauses. The card's
// files are found whatever the case of their names.
class MemoryCard {
public:
    MemoryCard(Database& db, QString exportFolder, TransferSink& sink, TransferPauses& pauses,
               Notifier& notifier);

    // Makes the four scale files (the keypad file from keypadName, which becomes the
    // current keypad row; empty: the current row) and copies them to the card. Returns
    // whether the copy succeeded.
    bool SaveFilesToCard(const QString& cardRoot, const QString& keypadName = QString());
    // Copies the four files from the card and imports each one that was there, the keys
    // into keypadName (empty: the current keypad row). Returns the card's names of the
    // files that could not be copied. Import errors propagate.
    QStringList LoadFilesFromCard(const QString& cardRoot, const QString& keypadName = QString());
    // Appends the totals a scale left on the card, with "miniSD" as scale and address.
    // Returns whether the card held a totals file.
    bool LoadTotalsFromCard(const QString& cardRoot);

private:
    void selectKeypad(const QString& keypadName);

    Database& m_db;
    QString m_export;
    TransferSink& m_sink;
    TransferPauses& m_pauses;
    Notifier& m_notifier;
};

} // namespace dm
