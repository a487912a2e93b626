#pragma once

#include <QFont>
#include <QRect>
#include <QRgb>
#include <QSize>
#include <QStringList>

namespace dm {

// The three panel colours every message uses, and the text colour.
namespace panelcolour {
inline constexpr QRgb SkyBlue = qRgb(166, 202, 240);    // an operation in progress
inline constexpr QRgb Pink = qRgb(255, 204, 255);       // an error, a refusal, troubleshooting
inline constexpr QRgb MoneyGreen = qRgb(192, 220, 192); // an operation completed
inline constexpr QRgb Text = qRgb(0, 0, 0);
} // namespace panelcolour

// Alignment codes of the panel's text, as callers pass them.
enum class PanelAlignment { Left = 0, Right = 1, Centre = 2 };

// The message panel grows to its text: the widest line + 20 pixels wide, the sum of
// (line height + 2) + 20 pixels high, 30 pixels more when the panel waits for Close.
// An empty list gives 20 x 20.
QSize messagePanelSize(const QFont& font, const QStringList& lines, bool modal);

// Where a transfer puts the progress bar inside a panel whose label has this size:
// 10 pixels in from the left, as wide as the label less 20, its top 10 pixels above
// the label's bottom.
QRect progressBarGeometry(const QSize& labelSize, int barHeight = 8);

} // namespace dm
