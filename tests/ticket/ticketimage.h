#pragma once

// Reading a ticket image back: where the ink is, and which glyphs a row of cells holds.

#include "editors/ticketfonts.h"
#include "scalefiles/scalecodepage.h"

#include <QImage>
#include <QRect>
#include <QString>

#include <algorithm>
#include <map>
#include <vector>

#include <ostream>

// Readable failure messages for texts.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace dm::test {

// Ink is what a print head would burn: darker than mid grey. The watermark and the
// tear-off edge are lighter and never count.
inline bool isInk(QRgb c) {
    return qGray(c) < 128;
}

inline bool hasInk(const QImage& img, QRect r) {
    r &= img.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (isInk(img.pixel(x, y)))
                return true;
    return false;
}

// The rows of the image that hold ink, as half-open bands [first, last + 1).
inline QList<std::pair<int, int>> inkBands(const QImage& img, int top, int bottom) {
    QList<std::pair<int, int>> bands;
    for (int y = top; y < bottom; ++y) {
        if (!hasInk(img, QRect(0, y, img.width(), 1)))
            continue;
        if (!bands.isEmpty() && bands.last().second == y)
            bands.last().second = y + 1;
        else
            bands.append({y, y + 1});
    }
    return bands;
}

// A cell as ink or no ink, so that the light watermark does not hide a glyph; columns
// from the cell's left edge up to width.
inline std::vector<bool> inkMask(const QImage& img, int x, int y, int w, int h, int width) {
    std::vector<bool> mask(static_cast<size_t>(w * h));
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < std::min(w, width); ++i)
            mask[static_cast<size_t>(j * w + i)] =
                img.valid(x + i, y + j) && isInk(img.pixel(x + i, y + j));
    return mask;
}

// The character whose glyph matches the canvas cell at (x, y) in the columns left of
// clipRight; U+FFFD when none does, a space for a blank cell.
inline QChar glyphAt(const QImage& img, const TicketFont& font, const ScaleCodePage& page, int x,
                     int y, int clipRight = 1 << 30) {
    const int w = font.cellWidth;
    const int h = font.cellHeight;
    const int width = std::clamp(clipRight - x, 0, w);
    const std::vector<bool> cell = inkMask(img, x, y, w, h, width);
    if (std::find(cell.begin(), cell.end(), true) == cell.end())
        return u' ';
    // The masks of a strip's 256 glyphs, made once per strip and visible width.
    static std::map<std::pair<qint64, int>, std::vector<std::vector<bool>>> masks;
    auto& glyphs = masks[{font.strip.cacheKey(), width}];
    if (glyphs.empty())
        for (int b = 0; b < 256; ++b)
            glyphs.push_back(inkMask(font.strip, b * w, 0, w, h, width));
    for (int b = 1; b < 256; ++b)
        if (glyphs[static_cast<size_t>(b)] == cell)
            return QChar(page.toChar(static_cast<uint8_t>(b)));
    return QChar(0xFFFD);
}

// The text of a field read cell by cell from its left edge, trailing blanks dropped.
inline QString readLeft(const QImage& img, const TicketFont& font, const ScaleCodePage& page,
                        int column, int row, int cells, int clipRight = 1 << 30) {
    QString s;
    for (int i = 0; i < cells; ++i)
        s += glyphAt(img, font, page, 8 * column + i * font.cellWidth, 8 * row, clipRight);
    while (s.endsWith(u' '))
        s.chop(1);
    return s;
}

// The text of a right-aligned field that ends at x = 8 * endColumn, leading blanks dropped.
inline QString readRight(const QImage& img, const TicketFont& font, const ScaleCodePage& page,
                         int endColumn, int row, int cells) {
    QString s;
    for (int i = 1; i <= cells; ++i)
        s.prepend(glyphAt(img, font, page, 8 * endColumn - i * font.cellWidth, 8 * row));
    while (s.startsWith(u' '))
        s.remove(0, 1);
    return s;
}

} // namespace dm::test
