#pragma once

#include <QLabel>
#include <QList>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QWidget>

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

private:
    Database* m_db = nullptr;
    QStringList m_titles;
    QStringList m_typeWords;
};

} // namespace dm::gui
