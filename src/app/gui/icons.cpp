#include "app/gui/icons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace dm::gui {

namespace {

QColor baseColour(Picture p) {
    switch (p) {
    case Picture::New:
    case Picture::Create:
        return QColor(46, 139, 87);
    case Picture::Delete:
        return QColor(190, 50, 50);
    case Picture::Copy:
    case Picture::Open:
        return QColor(70, 110, 180);
    case Picture::Export:
        return QColor(40, 90, 160);
    case Picture::Upload:
    case Picture::Download:
        return QColor(230, 130, 30);
    case Picture::SaveCard:
    case Picture::LoadCard:
        return QColor(120, 80, 160);
    case Picture::Clear:
        return QColor(150, 150, 150);
    case Picture::Autofill:
        return QColor(0, 140, 150);
    case Picture::Refresh:
        return QColor(60, 150, 60);
    case Picture::Help:
        return QColor(30, 120, 200);
    case Picture::GoodsPage:
        return QColor(200, 120, 40);
    case Picture::TicketPage:
        return QColor(90, 90, 110);
    case Picture::KeysPage:
        return QColor(60, 110, 170);
    case Picture::TotalsPage:
        return QColor(50, 140, 90);
    case Picture::SettingsPage:
        return QColor(110, 110, 120);
    }
    return Qt::gray;
}

void arrow(QPainter& p, QPointF from, QPointF to, qreal head) {
    p.drawLine(from, to);
    const QPointF d = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF n(-d.y(), d.x());
    QPolygonF tip;
    tip << to + d * head * 0.2 << to - d * head + n * head * 0.7 << to - d * head - n * head * 0.7;
    p.setBrush(p.pen().color());
    p.drawPolygon(tip);
    p.setBrush(Qt::NoBrush);
}

void sheet(QPainter& p, QRectF r) {
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setBrush(Qt::NoBrush);
}

void symbol(QPainter& p, Picture pic, qreal s) {
    const qreal m = s / 2;
    switch (pic) {
    case Picture::New:
    case Picture::Create:
        p.drawLine(QPointF(m, s * 0.25), QPointF(m, s * 0.75));
        p.drawLine(QPointF(s * 0.25, m), QPointF(s * 0.75, m));
        break;
    case Picture::Delete:
        p.drawLine(QPointF(s * 0.3, s * 0.3), QPointF(s * 0.7, s * 0.7));
        p.drawLine(QPointF(s * 0.7, s * 0.3), QPointF(s * 0.3, s * 0.7));
        break;
    case Picture::Copy: {
        QPen pen = p.pen();
        pen.setWidthF(s * 0.05);
        pen.setColor(QColor(40, 40, 40));
        p.setPen(pen);
        sheet(p, QRectF(s * 0.22, s * 0.2, s * 0.36, s * 0.44));
        sheet(p, QRectF(s * 0.42, s * 0.36, s * 0.36, s * 0.44));
        break;
    }
    case Picture::Export: {
        QPen pen = p.pen();
        pen.setWidthF(s * 0.05);
        pen.setColor(QColor(40, 40, 40));
        p.setPen(pen);
        sheet(p, QRectF(s * 0.25, s * 0.18, s * 0.5, s * 0.64));
        for (int i = 0; i < 4; ++i)
            p.drawLine(QPointF(s * 0.33, s * (0.32 + i * 0.12)),
                       QPointF(s * 0.67, s * (0.32 + i * 0.12)));
        break;
    }
    case Picture::Upload:
        arrow(p, QPointF(m, s * 0.78), QPointF(m, s * 0.28), s * 0.18);
        p.drawLine(QPointF(s * 0.25, s * 0.2), QPointF(s * 0.75, s * 0.2));
        break;
    case Picture::Download:
        arrow(p, QPointF(m, s * 0.22), QPointF(m, s * 0.72), s * 0.18);
        p.drawLine(QPointF(s * 0.25, s * 0.8), QPointF(s * 0.75, s * 0.8));
        break;
    case Picture::SaveCard:
    case Picture::LoadCard: {
        QPainterPath card;
        card.moveTo(s * 0.3, s * 0.18);
        card.lineTo(s * 0.62, s * 0.18);
        card.lineTo(s * 0.72, s * 0.3);
        card.lineTo(s * 0.72, s * 0.82);
        card.lineTo(s * 0.3, s * 0.82);
        card.closeSubpath();
        p.drawPath(card);
        if (pic == Picture::SaveCard)
            arrow(p, QPointF(m + s * 0.01, s * 0.3), QPointF(m + s * 0.01, s * 0.7), s * 0.12);
        else
            arrow(p, QPointF(m + s * 0.01, s * 0.7), QPointF(m + s * 0.01, s * 0.3), s * 0.12);
        break;
    }
    case Picture::Clear:
        p.drawEllipse(QPointF(m, m), s * 0.26, s * 0.26);
        p.drawLine(QPointF(s * 0.32, s * 0.68), QPointF(s * 0.68, s * 0.32));
        break;
    case Picture::Autofill:
    case Picture::KeysPage: {
        QPen pen = p.pen();
        pen.setWidthF(s * 0.04);
        p.setPen(pen);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                p.drawRoundedRect(
                    QRectF(s * (0.2 + c * 0.21), s * (0.2 + r * 0.21), s * 0.17, s * 0.17),
                    s * 0.03, s * 0.03);
        break;
    }
    case Picture::Refresh: {
        p.drawArc(QRectF(s * 0.25, s * 0.25, s * 0.5, s * 0.5), 30 * 16, 280 * 16);
        arrow(p, QPointF(s * 0.72, s * 0.42), QPointF(s * 0.72, s * 0.36), s * 0.15);
        break;
    }
    case Picture::Open: {
        QPainterPath folder;
        folder.moveTo(s * 0.2, s * 0.3);
        folder.lineTo(s * 0.42, s * 0.3);
        folder.lineTo(s * 0.48, s * 0.38);
        folder.lineTo(s * 0.8, s * 0.38);
        folder.lineTo(s * 0.8, s * 0.75);
        folder.lineTo(s * 0.2, s * 0.75);
        folder.closeSubpath();
        p.drawPath(folder);
        break;
    }
    case Picture::Help: {
        QFont f;
        f.setPixelSize(int(s * 0.6));
        f.setBold(true);
        p.setFont(f);
        p.drawText(QRectF(0, 0, s, s), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    case Picture::GoodsPage: {
        QPen pen = p.pen();
        pen.setWidthF(s * 0.035);
        p.setPen(pen);
        // a barcode
        const qreal widths[] = {1, 2, 1, 1, 3, 1, 2, 1, 1, 2};
        qreal x = s * 0.22;
        for (int i = 0; i < 10; ++i) {
            if (i % 2 == 0)
                p.fillRect(QRectF(x, s * 0.25, s * 0.025 * widths[i], s * 0.5), Qt::white);
            x += s * 0.028 * widths[i] + s * 0.01;
        }
        break;
    }
    case Picture::TicketPage: {
        QPen pen = p.pen();
        pen.setWidthF(s * 0.035);
        pen.setColor(QColor(60, 60, 60));
        p.setPen(pen);
        QPainterPath t;
        t.moveTo(s * 0.3, s * 0.15);
        t.lineTo(s * 0.7, s * 0.15);
        t.lineTo(s * 0.7, s * 0.8);
        for (int i = 0; i < 4; ++i) {
            t.lineTo(s * (0.65 - i * 0.1), s * 0.85);
            t.lineTo(s * (0.6 - i * 0.1), s * 0.8);
        }
        t.closeSubpath();
        p.setBrush(Qt::white);
        p.drawPath(t);
        for (int i = 0; i < 4; ++i)
            p.drawLine(QPointF(s * 0.36, s * (0.27 + i * 0.12)),
                       QPointF(s * 0.64, s * (0.27 + i * 0.12)));
        break;
    }
    case Picture::TotalsPage:
        for (int i = 0; i < 4; ++i) {
            const qreal h = s * (0.2 + 0.12 * ((i * 7) % 4));
            p.fillRect(QRectF(s * (0.22 + i * 0.15), s * 0.78 - h, s * 0.1, h), Qt::white);
        }
        break;
    case Picture::SettingsPage: {
        QPen pen = p.pen();
        pen.setWidthF(s * 0.09);
        p.setPen(pen);
        for (int i = 0; i < 8; ++i) {
            p.save();
            p.translate(m, m);
            p.rotate(i * 45);
            p.drawLine(QPointF(0, s * 0.2), QPointF(0, s * 0.3));
            p.restore();
        }
        pen.setWidthF(s * 0.07);
        p.setPen(pen);
        p.drawEllipse(QPointF(m, m), s * 0.16, s * 0.16);
        break;
    }
    }
}

} // namespace

QIcon pictureIcon(Picture picture, int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor c = baseColour(picture);
    QLinearGradient g(0, 0, 0, size);
    g.setColorAt(0, c.lighter(135));
    g.setColorAt(1, c.darker(115));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(1, 1, size - 2, size - 2), size * 0.2, size * 0.2);
    QPen pen(Qt::white);
    pen.setWidthF(size * 0.08);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    symbol(p, picture, size);
    p.end();
    return QIcon(pm);
}

} // namespace dm::gui
