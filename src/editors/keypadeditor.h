#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <array>
#include <optional>

namespace dm {

class Database;
class KeysDataSet;
class ProductsDataSet;

// The keypad page's logic without widgets. Key n (1 to 33) of keypad k is the Keys row
// with ID 100 * k + n; the rows run in ascending ID, 33 per keypad, so keypad k's keys
// are also the 33 rows from position 33 * (k - 1).

inline constexpr int kKeypadKeys = 33;
inline constexpr int kMaxKeypad = 255; // the scales take the keypad number as one byte

constexpr int keyId(int keypad, int key) {
    return 100 * keypad + key;
}

// The visible Keys row of key n of keypad k: the row at the key's position when it is
// that key's row, otherwise the row with the key's ID wherever it stands (a table with a
// keypad short of rows); -1 when the key has no row. Writes through it never land on
// another key's row.
int keyRow(const KeysDataSet& keys, int keypad, int key);

// The PLU bound to each key, keys 1 to 33; 0 for a key not set (0, negative, missing
// value or missing row).
using KeypadPlus = std::array<qint64, kKeypadKeys>;
KeypadPlus keypadPlus(const KeysDataSet& keys, int keypad);

// A key's caption: the PLU in decimal, or empty when the key is not set.
QString keyCaption(qint64 plu);

// The name line for key n bound to plu: "#n " and the goods name, "Item not found" when no
// goods have that PLU, "Item not set" when the key is not set.
QString keyNameLine(int key, qint64 plu, const ProductsDataSet& goods);
QString keyNotSetLine(int key);
// The name line that showing a keypad gives for its key 1: "#1 " and the goods name when
// goods have that PLU, and "Item not set" in every other case, also for a PLU that no
// goods carry (only a click on the key tells "Item not found").
QString shownKeypadNameLine(qint64 key1Plu, const ProductsDataSet& goods);

// Binds key n of keypad k to plu (0 unbinds). False when the key has no row; nothing is
// written then.
bool setKey(KeysDataSet& keys, int keypad, int key, qint64 plu);

// Sets all 33 keys of keypad k to 0, in one transaction.
void clearKeypad(Database& db, int keypad);
// Binds keys 1, 2, ... of keypad k to the goods in the order the goods list shows them
// (its sort and filter), at most 33; with fewer goods the other keys stay as they are.
// The goods list's current row ends after the last goods used. Returns the keys bound.
int fillKeypad(Database& db, int keypad);
// Clear and fill in one transaction: after it keypad k holds the first 33 goods and 0
// on the remaining keys.
int autofillKeypad(Database& db, int keypad);

// Adds a keypad with the next number, named after it ("Keypad 2"), and its 33 keys (not
// set), in one transaction; returns its number. Throws UserError when keypad 255 exists
// already.
int addKeypad(Database& db);

// What a goods row dragged onto a key carries.
struct DraggedGoods {
    qint64 plu = 0;
    QVariant name; // null when the goods have no name
};
QString goodsDragMimeType();
QByteArray goodsDragPayload(const DraggedGoods& goods);
// nullopt for anything that is not a payload of goodsDragPayload.
std::optional<DraggedGoods> readGoodsDragPayload(const QByteArray& bytes);

} // namespace dm
