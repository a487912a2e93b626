#pragma once

#include <QLabel>
#include <QList>
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

public slots:
    void Key1Click(int key);
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
