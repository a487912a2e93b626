#pragma once

#include <QDragMoveEvent>
#include <QLabel>
#include <QList>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QWidget>

#include <functional>

class QAction;
class QMimeData;

namespace dm {
class Database;
}

namespace dm::gui {

// The keypad page (KeysSheet): the keypad list, the 33 keys over a keypad picture and
// the goods list to drag from.
class KeysPage : public QWidget {
    Q_OBJECT
public:
    static constexpr int kKeyCount = 33;
    explicit KeysPage(QWidget* parent = nullptr);
    void applyLanguage(); // the captions of the Keys section

    // Called by the main window after every open of the database.
    void bind(Database* db);
    // Shows keypad n (from 1) on the 33 keys.
    void ShowKeypad(int keypad);
    void ClearKeypad(int keypad);
    void FillKeypad(int keypad);
    // The keypad of the current row of the keypad list (0 when there is none).
    int currentKeypad() const;
    // What a drag of goods row `row` of the goods list carries (nullptr for no row).
    QMimeData* goodsDragData(int row) const;

    // Shows a failed write; a message box unless replaced.
    std::function<void(const QString& text)> reportError;
    QStringList columnTitles() const { return m_titles; }
    QStringList typeWords() const { return m_typeWords; }

    QToolButton* AutoFillKeypadButton;
    QToolButton* ClearKeypadButton;
    QToolButton* TransmitKeypadButton;
    QToolButton* KeypadToCardButton;
    QToolButton* ReceiveKeypadButton;
    QToolButton* KeypadFromCardButton;
    QTableView* KeypadsGrid;
    QTableView* KeyProductsGrid;
    QList<QPushButton*> Keys; // Key1 .. Key33
    QLabel* ProductNameDisplay;
    QAction* NewKeypadAction; // in KeypadsGrid's context menu, and the Insert key there

    // Whether a press in the goods list may still become a drag of its goods row.
    bool goodsDragArmed() const { return m_dragArmed; }

public slots:
    // The goods list, through the events of its viewport: a left press arms a drag, a
    // move with the left button alone starts it (true when it did), a release disarms.
    void KeyProductsGridMouseDown(const QMouseEvent* event);
    bool KeyProductsGridMouseMove(const QMouseEvent* event);
    void KeyProductsGridMouseUp();
    void KeyProductsGridDragOver(QDragMoveEvent* event); // takes a goods row, to no effect
    // The 33 keys share these; the key's number tells them apart.
    void Key1Click(int key);
    void Key1DragOver(int key, QDragMoveEvent* event); // a goods row may be dropped
    void Key1DragDrop(int key, const QMimeData* data);
    void Key1MouseDown(int key, Qt::MouseButton button);
    void ClearKeypadButtonClick();
    void AutoFillKeypadButtonClick();
    void KeypadsDataSetAfterScroll();
    void NewKeypadActionExecute();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setCaption(int key, const QString& caption);
    void report(const QString& text);
    void startGoodsDrag();

    bool m_dragArmed = false; // a press in the goods grid may become a drag
    QPoint m_pressAt;

    Database* m_db = nullptr;
    QStringList m_titles;
    QStringList m_typeWords;
};

} // namespace dm::gui
