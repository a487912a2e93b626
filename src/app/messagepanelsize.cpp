#include "app/messagepanelsize.h"

#include <QFontMetrics>

#include <algorithm>

namespace dm {

QSize messagePanelSize(const QFont& font, const QStringList& lines, bool modal) {
    const QFontMetrics metrics(font);
    int width = 0;
    int height = 0;
    for (const QString& line : lines) {
        width = std::max(width, metrics.horizontalAdvance(line));
        height += metrics.height() + 2;
    }
    return QSize(width + 20, height + 20 + (modal ? 30 : 0));
}

QRect progressBarGeometry(const QSize& labelSize, int barHeight) {
    return QRect(10, labelSize.height() - 10, std::max(0, labelSize.width() - 20), barHeight);
}

} // namespace dm
