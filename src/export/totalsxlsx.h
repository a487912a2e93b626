#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace dm {

// One totals row as the totals view shows it; a missing value gives an empty cell.
struct TotalsExportRow {
    QString scales;
    std::optional<qint64> plu; // written as text
    QString name;
    QString type;
    std::optional<double> dayWeight; // the four quantities are written as numbers
    std::optional<qint64> dayNum;
    std::optional<double> monthWeight;
    std::optional<qint64> monthNum;
    QDateTime last; // written as "dd/mm/yyyy hh:nn:ss" text with the locale's separators
    QDateTime read;
};

// The totals as the view shows them: the ten column titles of the totals grid and the
// rows in the view's filter and order.
struct TotalsExportTable {
    QStringList titles; // a missing title is empty
    std::vector<TotalsExportRow> rows;
};

// Column widths of the sheet in character units, columns A to J.
inline constexpr std::array<double, 10> kTotalsColumnWidths{20, 10, 30, 10, 10, 10, 10, 10, 20, 20};
// The font of cell A1.
inline constexpr const char* kTotalsTitleFontName = "Arial cur";
inline constexpr double kTotalsTitleFontSize = 10;

// The data rows one sheet can hold below the title row.
inline constexpr qsizetype kTotalsMaxRows = 1048576 - 1;

// A workbook (.xlsx) whose first sheet holds the title row and one row per totals row.
// Dates are written with the separators of QLocale(). Throws FileError when the rows do
// not fit on a sheet or the workbook cannot be written.
QByteArray buildTotalsXlsx(const TotalsExportTable& table);

} // namespace dm
