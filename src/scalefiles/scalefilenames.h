#pragma once

#include <QString>

namespace dm {

// The scale files of the export folder. Scales and cards spell the names in several
// ways (Products.dat, products.dat; salesmen.dat, Salesmen.dat); on a file system that
// tells case apart, each kind keeps one canonical name and readers accept any case.
enum class ScaleFileKind { Goods, Ticket, Operators, Keypad, Totals };

// products.dat, RVT.dat, Salesmen.dat, keyboard.dat, Totals.dat
QString CanonicalScaleFileName(ScaleFileKind kind);

// The path to write a file of this kind to in folder: creates the folder when missing
// and removes every other spelling of the name, so a later read cannot pick up a stale
// file. Throws FileError when the folder cannot be created or a stale file removed.
QString ScaleFileForWriting(const QString& folder, ScaleFileKind kind);

// The file of this kind in folder, whatever the case of its name; with several
// spellings present, the one written last. Empty when there is none.
QString FindScaleFile(const QString& folder, ScaleFileKind kind);

} // namespace dm
