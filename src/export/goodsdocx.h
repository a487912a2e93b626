#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace dm {

// One goods item as the goods list shows it.
struct GoodsExportRow {
    std::optional<qint64> plu; // written as its decimal text; empty when missing
    QString name;
    QString type;
    QString price;
    QString barcode;
};

// The goods as the list shows them: the five column titles of the goods grid and the
// rows in the list's order, already filtered by the caller.
struct GoodsExportTable {
    QStringList titles; // PLU, name, type, price, barcode; a missing title is empty
    std::vector<GoodsExportRow> rows;
};

// Column widths of the goods table in points: PLU, name, type, price, barcode.
inline constexpr std::array<int, 5> kGoodsColumnWidthsPt{60, 230, 40, 60, 100};

// A word-processing document (Office Open XML, .docx) holding one table of five columns:
// the header row, then one row per goods item, the text bold and italic.
// Throws FileError when the package cannot be assembled.
QByteArray buildGoodsDocx(const GoodsExportTable& table);

} // namespace dm
