#pragma once

#include "scalefiles/scalecodepage.h"

#include <QDateTime>
#include <QString>

namespace dm {

class Database;
class Notifier;

// The marker that stands for a memory card where a scale address is expected.
inline QString MemoryCardSource() {
    return QStringLiteral("miniSD");
}

// What a goods file replaces: the goods that the goods list shows (with a search filter
// active only those), or the whole table (a download from a scale, a card load).
enum class GoodsReplace { ListedGoods, AllGoods };

struct GoodsImportResult {
    int stored = 0;
    int refused = 0; // rows the goods checks refused, each reported to the notifier
};

// The scale files of one folder (normally ProgramFolder::exportFolder()) and the
// database they are made from and read into. Writers replace their file atomically and
// leave the datasets' current rows where they were. Every import is one transaction: a
// file that cannot be read throws FileError (naming the file and the offset) and leaves
// the database as it was; after a successful import the datasets concerned are
// re-read. Text goes through the given code page.
class ScaleFiles {
public:
    ScaleFiles(Database& db, QString folder, const ScaleCodePage& page = activeScaleCodePage());

    const QString& folder() const { return m_folder; }

    // products.dat from the goods list as it shows: its sort order and its filter.
    QString WriteGoodsFile();
    // RVT.dat from ticket lines 1 to 8.
    QString WriteTicketFile();
    // Salesmen.dat from the operators in table order.
    QString WriteOperatorsFile();
    // keyboard.dat from the keypad on the current row of the keypad list (the first
    // keypad when no row is current).
    QString WriteKeypadFile();

    // Replaces the goods with the goods file's items. Items refused by the goods checks
    // are dropped, one message per failed check going to notifier; the rest are stored.
    GoodsImportResult ReadGoodsFile(Notifier& notifier,
                                    GoodsReplace replace = GoodsReplace::ListedGoods);
    // Ticket lines 1 to 8 from the first record of RVT.dat.
    void ReadTicketFile();
    // Operators by the ID in each record; records for IDs without a row are skipped.
    // Returns the number of rows updated.
    int ReadOperatorsFile();
    // The keys of one keypad, filled from key 1 on. source is a scale's address (its
    // keypad in ScalesSettings, the first keypad when it names none or an unknown one)
    // or MemoryCardSource(), which takes cardKeypad by name (when empty, the current row
    // of the keypad list, where the card dialog puts its choice; an unknown name throws
    // DataError). Returns the keypad ID.
    int ReadKeypadFile(const QString& source, const QString& cardKeypad = QString());
    // Appends one Totals row per record of the totals file at path (empty: the totals
    // file of the folder); Read is readTime (invalid: now). Returns the rows added.
    int ImportTotalsFile(const QString& source, const QString& path = QString(),
                         const QDateTime& readTime = QDateTime());

private:
    QString pathToRead(int kind) const;

    Database& m_db;
    QString m_folder;
    const ScaleCodePage& m_page;
};

} // namespace dm
