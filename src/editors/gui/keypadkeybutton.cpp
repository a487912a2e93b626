#include "editors/gui/keypadkeybutton.h"

#include "editors/keypadeditor.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace dm::gui {

KeypadKeyButton::KeypadKeyButton(int key, QWidget* parent) : QPushButton(parent), m_key(key) {
    setObjectName(QStringLiteral("Key") + QString::number(key));
    setProperty("Tag", key);
    setFixedSize(kWidth, kHeight);
    setAcceptDrops(true);
    setFocusPolicy(Qt::NoFocus);
}

void KeypadKeyButton::dragEnterEvent(QDragEnterEvent* event) {
    event->ignore(); // unless a receiver of dragOver accepts it
    emit dragOver(m_key, event);
}

void KeypadKeyButton::dragMoveEvent(QDragMoveEvent* event) {
    event->ignore();
    emit dragOver(m_key, event);
}

void KeypadKeyButton::dropEvent(QDropEvent* event) {
    if (!event->mimeData()->hasFormat(goodsDragMimeType()))
        return;
    event->acceptProposedAction();
    emit goodsDropped(m_key, event->mimeData());
}

void KeypadKeyButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        emit rightPressed(m_key);
        event->accept();
        return;
    }
    QPushButton::mousePressEvent(event);
}

void KeypadKeyButton::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    p.drawControl(QStyle::CE_PushButton, option);
    p.setPen(palette().color(QPalette::ButtonText));
    p.drawText(rect().adjusted(5, 2, -3, -4), Qt::AlignLeft | Qt::AlignBottom, text());
}

} // namespace dm::gui
