#pragma once

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTimeEdit>
#include <QToolButton>
#include <QWidget>

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

private:
    Database* m_db = nullptr;
    QStringList m_titles;
};

} // namespace dm::gui
