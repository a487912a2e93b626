#pragma once

#include <QDragMoveEvent>
#include <QPushButton>

class QMimeData;

namespace dm::gui {

// One of the 33 keys over the keypad picture: its caption (the PLU bound to it) sits at
// the bottom left, as on the scale's keys; it passes a drag over it on to be accepted,
// takes a dropped goods row and tells a right click apart from a click.
class KeypadKeyButton : public QPushButton {
    Q_OBJECT
public:
    static constexpr int kWidth = 45;
    static constexpr int kHeight = 38;
    KeypadKeyButton(int key, QWidget* parent = nullptr);
    int key() const { return m_key; } // also the "Tag" property, 1 to 33

signals:
    void dragOver(int key, QDragMoveEvent* event); // entering and moving; accept to take it
    void goodsDropped(int key, const QMimeData* data);
    void rightPressed(int key);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int m_key;
};

} // namespace dm::gui
