#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QToolButton>
#include <QWidget>

#include <functional>

namespace dm {
class Database;
}

namespace dm::gui {

// The goods page (BaseSheet): the goods list with its toolbar, search and ticket preview.
class GoodsPage : public QWidget {
    Q_OBJECT
public:
    explicit GoodsPage(QWidget* parent = nullptr);

    void applyLanguage(); // the captions of the Products section

    // Called by the main window after every open of the database (the datasets live on
    // between reloads, so bind once per open; reattach models and hooks here).
    void bind(Database* db);
    // Saves a goods row that is being edited (page change); the checks run on it.
    void postPendingEdit();
    // Set by the main window: redraws the ticket preview from the database.
    std::function<void()> redrawTicket;
    QStringList columnTitles() const { return m_titles; }
    QStringList typeWords() const { return m_typeWords; } // weight word, count word

    QToolButton* AddProductButton;
    QToolButton* DeleteProductButton;
    QToolButton* CopyProductButton;
    QToolButton* ProductsToWordButton;
    QToolButton* TransmitProductsButton;
    QToolButton* ProductsToCardButton;
    QToolButton* ReceiveProductsButton;
    QToolButton* ProductsFromCardButton;
    QLabel* FindLabel1;
    QLineEdit* SearchEdit;
    QLabel* FindLabel2;
    QComboBox* SearchCombo;
    QTableView* ProductsGrid;
    QLabel* TicketImage;

private:
    Database* m_db = nullptr;
    QStringList m_titles;
    QStringList m_typeWords;
};

} // namespace dm::gui
