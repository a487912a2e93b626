#pragma once

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTimeEdit>
#include <QToolButton>
#include <QWidget>

#include <functional>

namespace dm {
class Database;
}

namespace dm::gui {

// The totals page (TotalsSheet): the totals read from the scales, with period and search.
class TotalsPage : public QWidget {
    Q_OBJECT
public:
    explicit TotalsPage(QWidget* parent = nullptr);
    void applyLanguage(); // the captions of the Totals section

    // Called by the main window after every open of the database.
    void bind(Database* db);
    QStringList columnTitles() const { return m_titles; }

    // Asks a Yes/No question (a message box unless replaced, as the tests do).
    std::function<bool(const QString& caption, const QString& text)> ask;
    // Set by the main window: shows an error that a deletion could not handle.
    std::function<void(const QString&)> reportError;

    // A date edit shows no date until one is chosen; Delete empties it again.
    static QDate dateOf(const QDateEdit* edit); // null when empty
    static void setDateOf(QDateEdit* edit, const QDate& date);

    // Empties the period (both dates and times) and the search text.
    void ClearTotalsFilter();

public slots:
    void RebuildTotalsFilter();
    void TotalsSearchComboChange(int index); // the user chose another search column
    void TotalsGridTitleClick(int column);
    void DeleteTotalsButtonClick();
    void TotalsGridCurrentChanged(const QModelIndex& current);

public:
    QToolButton* DownloadTotalsButton;
    QToolButton* LoadTotalsButton;
    QToolButton* ExportTotalsButton;
    QToolButton* DeleteTotalsButton;
    QLabel* TotalsRangeLabel;
    QDateEdit* TotalsDate1;
    QTimeEdit* TotalsTime1;
    QDateEdit* TotalsDate2;
    QTimeEdit* TotalsTime2;
    QLabel* TotalsFindLabel1;
    QLineEdit* TotalsSearchEdit;
    QLabel* TotalsFindLabel2;
    QComboBox* TotalsSearchCombo;
    QTableView* TotalsGrid;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setUpSearchEdit(int index); // the limit and key rule of the chosen column
    int currentRow() const;
    void report(const QString& text);

    Database* m_db = nullptr;
    QStringList m_titles;
    bool m_rebuilding = false;
};

} // namespace dm::gui
