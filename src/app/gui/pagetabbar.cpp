#include "app/gui/pagetabbar.h"

#include <QStyleOptionTab>
#include <QStylePainter>

namespace dm::gui {

PageTabBar::PageTabBar(QWidget* parent) : QTabBar(parent) {
    setIconSize(QSize(50, 50));
    setExpanding(false);
}

QSize PageTabBar::tabSizeHint(int index) const {
    QFont bold = font();
    bold.setBold(true);
    const int textWidth = QFontMetrics(bold).horizontalAdvance(tabText(index));
    const int width = qMax(iconSize().width(), textWidth) + 20;
    const int height = iconSize().height() + QFontMetrics(bold).height() + 18;
    return QSize(qMax(width, 84), height);
}

void PageTabBar::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    for (int i = 0; i < count(); ++i) {
        QStyleOptionTab option;
        initStyleOption(&option, i);
        // The tab's shape as the style draws it, then our own upright content.
        option.text.clear();
        option.icon = QIcon();
        painter.drawControl(QStyle::CE_TabBarTabShape, option);
        const QRect r = tabRect(i);
        const QSize icon = iconSize();
        const QRect iconRect(r.center().x() - icon.width() / 2, r.top() + 6, icon.width(),
                             icon.height());
        tabIcon(i).paint(&painter, iconRect);
        QFont f = font();
        f.setBold(i == currentIndex());
        painter.setFont(f);
        painter.setPen(palette().color(QPalette::WindowText));
        const QRect textRect(r.left(), iconRect.bottom() + 4, r.width(),
                             r.bottom() - iconRect.bottom() - 6);
        painter.drawText(textRect, Qt::AlignHCenter | Qt::AlignTop, tabText(i));
    }
}

} // namespace dm::gui
