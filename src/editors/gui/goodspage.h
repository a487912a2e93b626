#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QToolButton>
#include <QWidget>

namespace dm::gui {

// The goods page (BaseSheet): the goods list with its toolbar, search and ticket preview.
class GoodsPage : public QWidget {
    Q_OBJECT
public:
    explicit GoodsPage(QWidget* parent = nullptr);

    void applyLanguage(); // the captions of the Products section
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
    QStringList m_titles;
    QStringList m_typeWords;
};

} // namespace dm::gui
