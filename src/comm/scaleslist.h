#pragma once

#include "comm/discovery.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace dm {

class Database;

// The State words of ScalesSettings and the name a scale found for the first time gets.
QString ScaleOnlineText();
QString ScaleOfflineText();
QString NewScaleText();

// The Name of every KeyPads row, in the keypad list's order: the pick list of the
// scales grid's Keypad column.
QStringList KeypadNames(Database& db);

struct ScalesRefresh {
    bool deleteEnabled = false; // the current row has a name
    QStringList keypadNames;    // for the Keypad column's pick list
};

// Brings ScalesSettings in line with the last published discovery result: every row
// becomes Offline, then each found address Online; an address without a named row gets a
// row "New" with the first keypad. A row of that address whose name was emptied is named
// "New" again rather than joined by another row of the same address, which every later
// refresh would add once more. The keypad list stays on its row.
ScalesRefresh RefreshScalesList(Database& db, const QStringList& foundAddresses);

// The keypad a scale receives: the one its row names when a keypad has that name,
// otherwise the first keypad (empty when there is no keypad at all).
QString KeypadOfScale(Database& db, const QString& address);

// The items of the scale choice dialog, one per found scale in the found order: "Name (IP:
// A, Keypad: K) mode" for a known scale; for a scale found for the first time a row is
// added at once and the item begins with the fixed words "Новые". As in the refresh, a
// row of the address without a name is named rather than duplicated.
QStringList PrepareScaleChoice(Database& db, const FoundScales& found);

// The tick rules of the scale choice dialog. With a single choice (downloads) at most one
// item is ticked: ticking one unticks the others.
class ScaleChoiceTicks {
public:
    ScaleChoiceTicks(int count = 0, bool single = false)
        : m_ticks(count, false), m_single(single) {}

    // The user set an item to a state (an index out of range changes nothing).
    void change(int index, bool ticked);
    void selectAll();
    void selectNone();

    bool isTicked(int index) const {
        return index >= 0 && index < m_ticks.size() && m_ticks[index];
    }
    // OK needs at least one ticked item.
    bool okEnabled() const { return m_ticks.contains(true); }
    QList<int> ticked() const;

private:
    QList<bool> m_ticks;
    bool m_single;
};

// The question before a scale leaves the list.
QString DeleteScaleCaption();
QString DeleteScaleQuestion(const QString& name, const QString& address);

} // namespace dm
