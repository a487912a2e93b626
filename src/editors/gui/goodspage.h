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

class GoodsItemDelegate;

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

    // Asks a Yes/No question (a warning message box); true for Yes. Replaceable, so that
    // tests answer it.
    std::function<bool(const QString& caption, const QString& text)> ask;
    // Shows a refusal of the data layer (a PLU beyond its range, a failed write); the
    // goods checks show their own messages. A message box unless replaced.
    std::function<void(const QString& text)> reportError;

    GoodsItemDelegate* gridDelegate() const { return m_delegate; }

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

public slots:
    void AddProductButtonClick();
    void CopyProductButtonClick();
    void DeleteProductButtonClick();
    void ProductsGridCellClick(const QModelIndex& index);
    void ProductsGridTitleClick(int section);
    void SearchComboChange(int index);
    void SearchEditChange(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applySearch();
    void selectCurrentRow();
    void showSortIndicator();
    void enableGoods(bool enabled);
    bool askUser(const QString& caption, const QString& text);
    void report(const QString& text);
    void redraw();

    Database* m_db = nullptr;
    QStringList m_titles;
    QStringList m_typeWords;
    GoodsItemDelegate* m_delegate;
    QAbstractItemView::EditTriggers m_editTriggers;
};

} // namespace dm::gui
